#include <windows.h>

#include <string>

#include "tool/platform.h"

namespace platform {

std::string ProcessCommandLine(int, char**) { return GetCommandLineA(); }

void ClearLastError() { SetLastError(ERROR_SUCCESS); }

std::string LastErrorReason() {
  const DWORD code = GetLastError();
  if (code == ERROR_SUCCESS) return "no reason given";
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = length ? std::string(text, length) : "error " + std::to_string(code);
  LocalFree(text);
  while (!reason.empty() &&
         (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) {
    reason.pop_back();
  }
  return reason;
}

}  // namespace platform
