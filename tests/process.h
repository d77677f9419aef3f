#pragma once

#include <string>
#include <vector>

// Runs a program as a real process and captures what it wrote, through files.
struct Launch {
  std::string program;                        // the file to run
  std::vector<std::string> arguments;         // argv, argv[0] first; joined by spaces on Windows
  std::string commandLine;                    // Windows: this exact text instead of the arguments
  std::vector<std::string> environment;       // NAME=value entries added to the test's own
  std::vector<std::string> unsetEnvironment;  // names taken out of it
  bool standardOutputClosed = false;          // a pipe nobody reads, so that every write fails
  std::string workingDirectory;               // the test's own, if empty
};

struct Outcome {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string out;
  std::string err;
};

Outcome RunProcess(const Launch& launch);

// A fresh empty directory under the test's temporary folder, removed with everything in it when
// the object goes.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// What differs by platform in the tests' expectations.
std::string PathIn(const std::string& directory, const std::string& name);
std::string AsTextOutput(const std::string& text);  // line breaks as a text-mode stream writes them
std::string SystemErrorText(int code);              // how the tool words an error code
extern const int kMissingDirectoryError;            // opening a file in a missing directory
