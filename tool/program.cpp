#include "tool/program.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "options/command_line_parser.h"
#include "tool/fax_library.h"
#include "tool/platform.h"

namespace {

struct Request {
  std::int32_t enable;
  const char* logPath;  // a view into the parser's table, or nullptr
};

// A quoted program path is not scanned: a marker inside it ("C:\Tools-L 1\tool.exe") would
// otherwise start an option that pre-empts the user's own. An unquoted path holds no space, so
// it cannot pre-empt anything, and is scanned as the rest is (Kestrovane/? keeps working).
const char* ArgumentsAfterProgramPath(const char* commandLine) {
  if (commandLine[0] != '"') return commandLine;
  const char* closingQuote = std::strchr(commandLine + 1, '"');
  return closingQuote ? closingQuote + 1 : "";
}

Request ChooseRequest(const CommandLineParser& parser) {
  if (parser.HasOption("l")) return {1, parser.GetOptionValue("l")};
  if (parser.HasOption("debug")) return {1, parser.GetOptionValue("l")};
  return {0, nullptr};
}

std::string Describe(const Request& request) {
  if (request.enable == 0) return "could not disable debugging";
  if (request.logPath == nullptr || request.logPath[0] == '\0') return "could not enable debugging";
  return std::string("could not enable debugging to ") + request.logPath;
}

std::string WithReason(const std::string& whatFailed) {
  return whatFailed + ": " + platform::LastErrorReason();
}

void ReportFailure(const std::string& failure) {
  std::fprintf(stderr, "Kestrovane: %s\n", failure.c_str());
}

// Registers, makes the request and unregisters, even after a failed request. Reports the first
// failure, with the reason the library gave for it.
bool SwitchDebugging(const Request& request) {
  platform::ClearLastError();
  const FaxAppHandle app = FaxRegisterApp(0, 0);
  if (app == 0) {
    ReportFailure(WithReason("could not register with the fax library"));
    return false;
  }
  std::string failure;
  platform::ClearLastError();
  if (FaxEnableDebug(app, request.enable, request.logPath) == 0) {
    failure = WithReason(Describe(request));
  }
  platform::ClearLastError();
  if (FaxUnregisterApp(app) == 0 && failure.empty()) {
    failure = WithReason("could not unregister from the fax library");
  }
  if (!failure.empty()) ReportFailure(failure);
  return failure.empty();
}

void PrintUsage() {
  std::printf("usage: Kestrovane /L:c:\\fax.log    -   Enabled debugging to c:\\fax.log\n");
  std::printf("Kestrovane                         -   Disables debugging\n");
}

void PrintOutcome(const Request& request) {
  if (request.enable == 1) {
    std::printf("Enabled debugging to: %s", request.logPath ? request.logPath : "(null)");
  } else {
    std::printf("Disabled debugging");
  }
}

// Output that did not reach its destination is a failure of the run, not a success.
int FinishOutput(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    ReportFailure(WithReason("could not write to standard output"));
    return 1;
  }
  return status;
}

}  // namespace

int RunKestrovane(const char* commandLine) {
  const CommandLineParser parser(ArgumentsAfterProgramPath(commandLine), false);
  std::printf("Kestrovane V 1.0\n");
  if (parser.HasOption("?") || parser.HasOption("help")) {
    PrintUsage();
    return FinishOutput(0);
  }
  const Request request = ChooseRequest(parser);
  if (!SwitchDebugging(request)) return FinishOutput(1);
  PrintOutcome(request);
  return FinishOutput(0);
}
