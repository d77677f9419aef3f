#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tarnel4d/platform.h"

namespace tarnel4d::platform {
namespace {

constexpr DWORD kLargestSmallFile = 64 * 1024;

// The error of a failed step, kept across the clean-up that follows it.
class SavedError {
 public:
  SavedError() : code_(GetLastError()) {}
  ~SavedError() { SetLastError(code_); }

 private:
  DWORD code_;
};

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A symbolic link or junction is opened as itself, then refused.
bool RefuseReparsePoint(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(file, &information)) return false;
  if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    SetLastError(ERROR_CANT_RESOLVE_FILENAME);
    return false;
  }
  return true;
}

// Temporary files are named .<name>.<writer's process id>.<count>.tmp; one whose writer is
// gone is stale.
void RemoveStaleTemporaries(const std::string& directory, const std::string& prefix) {
  SavedError saved;
  WIN32_FIND_DATAA found;
  const HANDLE search =
      FindFirstFileA(JoinPath(directory, (prefix + "*.tmp").c_str()).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const DWORD writer = std::strtoul(found.cFileName + prefix.size(), nullptr, 10);
    if (writer == 0 || writer == GetCurrentProcessId()) continue;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, writer);
    if (process != nullptr) {
      CloseHandle(process);
    } else if (GetLastError() == ERROR_INVALID_PARAMETER) {  // no such process
      DeleteFileA(JoinPath(directory, found.cFileName).c_str());
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

ErrorCode CurrentError() { return GetLastError(); }
void SetCurrentError(ErrorCode code) { SetLastError(static_cast<DWORD>(code)); }
ErrorCode InvalidArgumentError() { return ERROR_INVALID_PARAMETER; }
ErrorCode OutOfMemoryError() { return ERROR_NOT_ENOUGH_MEMORY; }

std::string DescribeError(ErrorCode code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string description = length ? std::string(text, length) : "error " + std::to_string(code);
  LocalFree(text);
  while (!description.empty() && static_cast<unsigned char>(description.back()) <= ' ') {
    description.pop_back();
  }
  return description;
}

bool FindSettingsDirectory(std::string& directory) {
  const char* own = std::getenv("TARNEL4D_HOME");
  if (own && *own) {
    directory = own;
    return true;
  }
  const char* local = std::getenv("LOCALAPPDATA");
  if (local && *local) {
    directory = JoinPath(local, "tarnel4d");
    return true;
  }
  SetLastError(ERROR_ENVVAR_NOT_FOUND);
  return false;
}

bool CreateDirectoryPath(const std::string& directory) {
  for (std::size_t i = 1; i <= directory.size(); ++i) {
    if (i < directory.size() && !IsSeparator(directory[i])) continue;
    const std::string prefix = directory.substr(0, i);
    if (prefix.back() == ':' || IsDirectory(prefix)) continue;  // a drive, or there already
    if (!CreateDirectoryA(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return false;
    }
  }
  if (!IsDirectory(directory)) {
    SetLastError(ERROR_DIRECTORY);
    return false;
  }
  return true;
}

std::string JoinPath(const std::string& directory, const char* name) {
  if (!directory.empty() && IsSeparator(directory.back())) return directory + name;
  return directory + "\\" + name;
}

bool MakeAbsolute(const std::string& path, std::string& absolute) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return false;
    if (length < buffer.size()) {
      absolute.assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length);
  }
}

bool ReadSmallFile(const std::string& path, std::string& contents) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool readOk = RefuseReparsePoint(file);
  LARGE_INTEGER size{};
  if (readOk && (!GetFileSizeEx(file, &size) || size.QuadPart > kLargestSmallFile)) {
    SetLastError(ERROR_INVALID_DATA);
    readOk = false;
  }
  contents.assign(readOk ? static_cast<std::size_t>(size.QuadPart) : 0, '\0');
  DWORD got = 0;
  if (readOk && !contents.empty()) {
    readOk = ReadFile(file, contents.data(), static_cast<DWORD>(contents.size()), &got, nullptr);
    contents.resize(got);
  }
  SavedError saved;
  CloseHandle(file);
  return readOk;
}

bool ReplaceFileDurably(const std::string& directory, const char* name,
                        const std::string& contents) {
  static unsigned long counter = 0;
  const std::string target = JoinPath(directory, name);
  const std::string temporaryPrefix = "." + std::string(name) + ".";
  const std::string temporary =
      JoinPath(directory, (temporaryPrefix + std::to_string(GetCurrentProcessId()) + "." +
                           std::to_string(++counter) + ".tmp")
                              .c_str());
  const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool replaced =
      WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) &&
      written == contents.size() && FlushFileBuffers(file);
  {
    SavedError saved;
    CloseHandle(file);
  }
  replaced = replaced && MoveFileExA(temporary.c_str(), target.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!replaced) {
    SavedError saved;
    DeleteFileA(temporary.c_str());
    return false;
  }
  RemoveStaleTemporaries(directory, temporaryPrefix);
  return true;
}

LogFile::~LogFile() {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
}

bool LogFile::Open(const std::string& path) {
  constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  constexpr DWORD kFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  path_ = path;
  HANDLE file =
      CreateFileA(path.c_str(), FILE_APPEND_DATA, kShare, nullptr, CREATE_NEW, kFlags, nullptr);
  created_ = file != INVALID_HANDLE_VALUE;
  if (!created_ && GetLastError() == ERROR_FILE_EXISTS) {
    file = CreateFileA(path.c_str(), FILE_APPEND_DATA, kShare, nullptr, OPEN_EXISTING, kFlags,
                       nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return RefuseReparsePoint(file);
}

bool LogFile::Append(const std::string& line) {
  DWORD written = 0;
  if (!WriteFile(AsHandle(handle_), line.data(), static_cast<DWORD>(line.size()), &written,
                 nullptr)) {
    return false;
  }
  if (written != line.size()) {
    SetLastError(ERROR_DISK_FULL);
    return false;
  }
  created_ = false;
  return true;
}

void LogFile::DiscardIfCreated() {
  LARGE_INTEGER size{};
  if (created_ && GetFileSizeEx(AsHandle(handle_), &size) && size.QuadPart == 0) {
    SavedError saved;
    CloseHandle(AsHandle(handle_));
    handle_ = -1;
    DeleteFileA(path_.c_str());
  }
  created_ = false;
}

std::string UtcTimestamp() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", now.wYear, now.wMonth,
                now.wDay, now.wHour, now.wMinute, now.wSecond);
  return text;
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

}  // namespace tarnel4d::platform
