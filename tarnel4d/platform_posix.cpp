#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "tarnel4d/platform.h"

namespace tarnel4d::platform {
namespace {

constexpr std::size_t kLargestSmallFile = 64 * 1024;

// The error of a failed step, kept across the clean-up that follows it.
class SavedError {
 public:
  SavedError() : code_(errno) {}
  ~SavedError() { errno = code_; }

 private:
  int code_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {
      errno = EIO;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool SyncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  SavedError saved;
  close(fd);
  return synced;
}

// Temporary files are named .<name>.<writer's pid>.<random>; one whose writer is gone is stale.
void RemoveStaleTemporaries(const std::string& directory, const std::string& prefix) {
  DIR* listing = opendir(directory.c_str());
  if (listing == nullptr) return;
  SavedError saved;
  while (const dirent* entry = readdir(listing)) {
    const std::string entryName = entry->d_name;
    if (entryName.compare(0, prefix.size(), prefix) != 0) continue;
    const long writer = std::strtol(entryName.c_str() + prefix.size(), nullptr, 10);
    if (writer > 0 && writer != getpid() && kill(static_cast<pid_t>(writer), 0) != 0 &&
        errno == ESRCH) {
      unlinkat(dirfd(listing), entry->d_name, 0);
    }
  }
  closedir(listing);
}

std::string HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  std::vector<char> buffer(16384);
  passwd entry;
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && *found->pw_dir) {
    return found->pw_dir;
  }
  return "";
}

}  // namespace

ErrorCode CurrentError() { return static_cast<ErrorCode>(errno); }
void SetCurrentError(ErrorCode code) { errno = static_cast<int>(code); }
ErrorCode InvalidArgumentError() { return EINVAL; }
ErrorCode OutOfMemoryError() { return ENOMEM; }
std::string DescribeError(ErrorCode code) { return std::strerror(static_cast<int>(code)); }

bool FindSettingsDirectory(std::string& directory) {
  const char* own = std::getenv("TARNEL4D_HOME");
  if (own && *own) {
    directory = own;
    return true;
  }
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/') {  // relative values are to be ignored
    directory = JoinPath(state, "tarnel4d");
    return true;
  }
  const std::string home = HomeDirectory();
  if (home.empty()) {
    errno = ENOENT;
    return false;
  }
  directory = JoinPath(home, ".local/state/tarnel4d");
  return true;
}

bool CreateDirectoryPath(const std::string& directory) {
  for (std::size_t slash = directory.find('/', 1); slash != std::string::npos;
       slash = directory.find('/', slash + 1)) {
    if (mkdir(directory.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat status;
  if (stat(directory.c_str(), &status) != 0) return false;
  if (!S_ISDIR(status.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

std::string JoinPath(const std::string& directory, const char* name) {
  if (!directory.empty() && directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

bool MakeAbsolute(const std::string& path, std::string& absolute) {
  if (!path.empty() && path[0] == '/') {
    absolute = path;
    return true;
  }
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return false;
    buffer.resize(buffer.size() * 2);
  }
  absolute = JoinPath(buffer.data(), path.c_str());
  return true;
}

bool ReadSmallFile(const std::string& path, std::string& contents) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status;
  bool readOk = fstat(fd, &status) == 0;
  if (readOk && (!S_ISREG(status.st_mode) || status.st_size > off_t{kLargestSmallFile})) {
    errno = EINVAL;
    readOk = false;
  }
  contents.clear();
  char buffer[4096];
  while (readOk && contents.size() <= kLargestSmallFile) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) readOk = false;
    if (got <= 0) break;
    contents.append(buffer, static_cast<std::size_t>(got));
  }
  SavedError saved;
  close(fd);
  return readOk;
}

bool ReplaceFileDurably(const std::string& directory, const char* name,
                        const std::string& contents) {
  const std::string target = JoinPath(directory, name);
  const std::string temporaryPrefix = "." + std::string(name) + ".";
  std::string temporary =
      JoinPath(directory, (temporaryPrefix + std::to_string(getpid()) + ".XXXXXX").c_str());
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);  // created 0600
  if (fd < 0) return false;
  if (!WriteAll(fd, contents.data(), contents.size()) || fsync(fd) != 0) {
    SavedError saved;
    close(fd);
    unlink(temporary.c_str());
    return false;
  }
  if (close(fd) != 0 || rename(temporary.c_str(), target.c_str()) != 0) {
    SavedError saved;
    unlink(temporary.c_str());
    return false;
  }
  RemoveStaleTemporaries(directory, temporaryPrefix);
  return SyncDirectory(directory);
}

LogFile::~LogFile() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
}

bool LogFile::Open(const std::string& path) {
  constexpr int kFlags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  path_ = path;
  int fd = open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0600);
  created_ = fd >= 0;
  if (fd < 0 && errno == EEXIST) fd = open(path.c_str(), kFlags);
  if (fd < 0) return false;
  handle_ = fd;
  return true;
}

bool LogFile::Append(const std::string& line) {
  const int fd = static_cast<int>(handle_);
  const ssize_t written = write(fd, line.data(), line.size());
  if (written < 0) return false;
  if (static_cast<std::size_t>(written) != line.size()) {
    errno = ENOSPC;
    return false;
  }
  created_ = false;
  return true;
}

void LogFile::DiscardIfCreated() {
  struct stat status;
  if (created_ && fstat(static_cast<int>(handle_), &status) == 0 && status.st_size == 0) {
    SavedError saved;
    unlink(path_.c_str());
  }
  created_ = false;
}

std::string UtcTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm parts;
  gmtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

}  // namespace tarnel4d::platform
