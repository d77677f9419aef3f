#pragma once

#include <cstdint>
#include <string>

// What the library needs of its platform; each platform's file says how. Calls that can fail
// return false and leave the reason as the system's current error.
namespace tarnel4d::platform {

using ErrorCode = unsigned long;
ErrorCode CurrentError();
void SetCurrentError(ErrorCode code);
ErrorCode InvalidArgumentError();
ErrorCode OutOfMemoryError();
std::string DescribeError(ErrorCode code);

// Where the setting and the default log live, chosen by the environment.
bool FindSettingsDirectory(std::string& directory);
// Creates the directory and any missing parents, for the user alone.
bool CreateDirectoryPath(const std::string& directory);
std::string JoinPath(const std::string& directory, const char* name);
// path made absolute against the current working directory.
bool MakeAbsolute(const std::string& path, std::string& absolute);

// A small regular file's whole contents; a symbolic link is not followed.
bool ReadSmallFile(const std::string& path, std::string& contents);
// Replaces directory/name with contents so that it is either wholly the old or wholly the new
// file, even across a crash, and leaves no temporary file behind. Temporary files that writers
// which died left behind are removed on the way.
bool ReplaceFileDurably(const std::string& directory, const char* name,
                        const std::string& contents);

// A debug log opened for appending whole lines; created for the user alone when new.
class LogFile {
 public:
  LogFile() = default;
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  ~LogFile();

  // Refuses a symbolic link as the final component of path.
  bool Open(const std::string& path);
  // One write per line, so lines from several processes never interleave.
  bool Append(const std::string& line);
  // Removes the file again if this Open created it and no line has been written to it.
  void DiscardIfCreated();

 private:
  std::string path_;
  bool created_ = false;
  std::intptr_t handle_ = -1;  // a file descriptor or a HANDLE
};

std::string UtcTimestamp();  // ISO 8601, to the second
unsigned long ProcessId();

}  // namespace tarnel4d::platform
