#pragma once

// Runs the real tool against a recording stand-in of the fax library (see
// recording_tarnel4d.cpp), and what the tests expect of such runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/process.h"

namespace tool_run {

// Standard output in text mode: on Windows every line break arrives as CR LF.
inline const std::string kBanner = AsTextOutput("Kestrovane V 1.0\n");
inline const std::string kUsage =
    kBanner + AsTextOutput(
                  "usage: Kestrovane /L:c:\\fax.log    -   Enabled debugging to c:\\fax.log\n"
                  "Kestrovane                         -   Disables debugging\n");

inline std::string Calls(const std::string& enableArguments) {
  return "FaxRegisterApp(0, 0)\nFaxEnableDebug(41, " + enableArguments +
         ")\nFaxUnregisterApp(41)\n";
}
inline const std::string kOffCalls = Calls("0, null");

// The tool started so that it binds the library in the given folder: through the library path
// on POSIX, and on Windows as a copy of the tool that stands in that folder.
struct ToolBesideLibrary {
  const char* program;
  const char* libraryDirectory;
};
inline const ToolBesideLibrary kWithRecording{RECORDING_KESTROVANE, RECORDING_LIBRARY_DIR};
inline const ToolBesideLibrary kWithIncomplete{INCOMPLETE_KESTROVANE, INCOMPLETE_LIBRARY_DIR};

class ToolRun : public testing::Test {
 protected:
  Outcome RunTool(const std::vector<std::string>& arguments,
                  const std::string& programPath = "kestrovane", const std::string& fail = "",
                  const ToolBesideLibrary& tool = kWithRecording) {
    Launch launch;
    launch.program = tool.program;
    launch.arguments.push_back(programPath);
    launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
    launch.environment = {"LD_LIBRARY_PATH=" + std::string(tool.libraryDirectory),
                          "RECORDING_TARNEL4D_LOG=" + calls_, "RECORDING_TARNEL4D_FAIL=" + fail,
                          "LC_ALL=C"};
    launch.standardOutputClosed = standardOutputClosed_;
    launch.commandLine = commandLine_;
    return RunProcess(launch);
  }
  std::string RecordedCalls() const { return ReadFile(calls_); }

  TemporaryDirectory temporary_;
  std::string directory_ = temporary_.path();
  std::string calls_ = PathIn(directory_, "calls");
  bool standardOutputClosed_ = false;
  std::string commandLine_;  // Windows: the exact command line to start the tool with
};

}  // namespace tool_run
