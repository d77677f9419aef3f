#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "tests/process.h"

namespace {

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return file;
}

// The test's own environment with the launch's entries added or replacing theirs.
std::string EnvironmentBlock(const std::vector<std::string>& additions) {
  std::string block;
  char* strings = GetEnvironmentStringsA();
  for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) {
    const std::string text = entry;
    bool replaced = false;
    for (const std::string& addition : additions) {
      const std::size_t equals = addition.find('=');
      replaced = replaced || _strnicmp(text.c_str(), addition.c_str(), equals + 1) == 0;
    }
    if (!replaced) block.append(text).push_back('\0');
  }
  FreeEnvironmentStringsA(strings);
  for (const std::string& addition : additions) block.append(addition).push_back('\0');
  block.push_back('\0');
  return block;
}

std::string CommandLineOf(const Launch& launch) {
  if (!launch.commandLine.empty()) return launch.commandLine;
  std::string text;
  for (const std::string& argument : launch.arguments) {
    if (!text.empty()) text += ' ';
    const bool quoted = text.empty() && argument.find(' ') != std::string::npos;
    text += quoted ? "\"" + argument + "\"" : argument;
  }
  return text;
}

}  // namespace

TemporaryDirectory::TemporaryDirectory() {
  static unsigned counter = 0;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (;;) {
    path_ = (base / ("kestrovane-test." + std::to_string(GetCurrentProcessId()) + "." +
                     std::to_string(++counter)))
                .string();
    if (CreateDirectoryA(path_.c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot make " + path_);
  }
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string PathIn(const std::string& directory, const std::string& name) {
  return directory + "\\" + name;
}

std::string AsTextOutput(const std::string& text) {
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

std::string SystemErrorText(int code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string description(text, length);
  LocalFree(text);
  while (!description.empty() && static_cast<unsigned char>(description.back()) <= ' ') {
    description.pop_back();
  }
  return description;
}

const int kMissingDirectoryError = ERROR_PATH_NOT_FOUND;

Outcome RunProcess(const Launch& launch) {
  const TemporaryDirectory capture;
  const std::string outPath = PathIn(capture.path(), "out");
  const std::string errPath = PathIn(capture.path(), "err");
  HANDLE out;
  if (launch.standardOutputClosed) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE unread;
    if (!CreatePipe(&unread, &out, &inherit, 0)) throw std::runtime_error("CreatePipe failed");
    CloseHandle(unread);
  } else {
    out = InheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
  }
  const HANDLE err = InheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE in = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  std::string commandLine = CommandLineOf(launch);
  std::string environment = EnvironmentBlock(launch.environment);
  const BOOL started = CreateProcessA(
      launch.program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, environment.data(),
      launch.workingDirectory.empty() ? nullptr : launch.workingDirectory.c_str(), &startup,
      &process);
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  Outcome outcome;
  if (started) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    outcome.status = static_cast<int>(status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  if (!launch.standardOutputClosed) outcome.out = ReadFile(outPath);
  outcome.err = ReadFile(errPath);
  return outcome;
}
