#include <cerrno>
#include <cstring>
#include <string>

#include "tool/platform.h"

namespace platform {
namespace {

// A value that contains a space is quoted, as a user would type it at a Windows prompt, so that
// '/L:/tmp/my logs/fax.log' passes the whole path: marker, name, colon, value.
bool NeedsQuotedValue(const std::string& argument, std::size_t& colon) {
  if (argument.empty() || (argument[0] != '-' && argument[0] != '/')) return false;
  colon = argument.find_first_of(" :", 1);
  return colon != std::string::npos && argument[colon] == ':' && colon + 1 < argument.size() &&
         argument[colon + 1] != '"' && argument.find(' ', colon) != std::string::npos;
}

}  // namespace

std::string ProcessCommandLine(int argc, char** argv) {
  std::size_t size = 2;                                             // the program path's quotes
  for (int i = 0; i < argc; ++i) size += std::strlen(argv[i]) + 3;  // a space; two quotes
  std::string text;
  text.reserve(size);  // one allocation, even for megabytes of arguments
  text += '"';
  if (argc > 0) {
    // The program path is never scanned; a quote inside it would end it early.
    for (const char* p = argv[0]; *p; ++p) {
      if (*p != '"') text += *p;
    }
  }
  text += '"';
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    std::size_t colon = 0;
    text += ' ';
    if (NeedsQuotedValue(argument, colon)) {
      text.append(argument, 0, colon + 1).append("\"").append(argument, colon + 1).append("\"");
    } else {
      text += argument;
    }
  }
  return text;
}

void ClearLastError() { errno = 0; }

std::string LastErrorReason() {
  const int code = errno;
  return code == 0 ? "no reason given" : std::strerror(code);
}

}  // namespace platform
