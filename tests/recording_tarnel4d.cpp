// A stand-in for libtarnel4d.so that records every call, with its arguments, one line each in
// the file named by RECORDING_TARNEL4D_LOG, and fails the calls named in RECORDING_TARNEL4D_FAIL
// ("FaxEnableDebug=2,FaxUnregisterApp=13": the call, then the error code it fails with).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tool/fax_library.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr FaxAppHandle kHandle = 41;  // not 1, so that a tool that invents handles is caught

void Record(const std::string& line) {
  const char* path = std::getenv("RECORDING_TARNEL4D_LOG");
  if (path == nullptr) return;
  if (std::FILE* file = std::fopen(path, "ab")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

// The errno the named call is to fail with, or 0 when it is to succeed.
int FailureFor(const char* call) {
  const char* failures = std::getenv("RECORDING_TARNEL4D_FAIL");
  if (failures == nullptr) return 0;
  const std::string wanted = std::string(call) + "=";
  const char* found = std::strstr(failures, wanted.c_str());
  return found ? std::atoi(found + wanted.size()) : 0;
}

template <typename Result>
Result Answer(const char* call, Result success) {
  if (const int code = FailureFor(call)) {
#ifdef _WIN32
    SetLastError(static_cast<DWORD>(code));
#else
    errno = code;
#endif
    return 0;
  }
  return success;
}

[[maybe_unused]] std::string Quoted(const char* text) {
  return text ? "\"" + std::string(text) + "\"" : "null";
}

}  // namespace

extern "C" {

FaxAppHandle FAXAPI FaxRegisterApp(uint32_t reserved1, uint32_t reserved2) {
  Record("FaxRegisterApp(" + std::to_string(reserved1) + ", " + std::to_string(reserved2) + ")");
  return Answer<FaxAppHandle>("FaxRegisterApp", kHandle);
}

#ifndef LEAVE_OUT_ENABLE_DEBUG
int32_t FAXAPI FaxEnableDebug(FaxAppHandle app, int32_t enable, const char* logPath) {
  Record("FaxEnableDebug(" + std::to_string(app) + ", " + std::to_string(enable) + ", " +
         Quoted(logPath) + ")");
  return Answer<int32_t>("FaxEnableDebug", 1);
}
#endif

int32_t FAXAPI FaxUnregisterApp(FaxAppHandle app) {
  Record("FaxUnregisterApp(" + std::to_string(app) + ")");
  return Answer<int32_t>("FaxUnregisterApp", 1);
}

}  // extern "C"
