#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "tests/process.h"

TemporaryDirectory::TemporaryDirectory() {
  const char* base = std::getenv("TMPDIR");
  path_ = std::string(base && *base ? base : "/tmp") + "/kestrovane-test.XXXXXX";
  if (mkdtemp(path_.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
}

TemporaryDirectory::~TemporaryDirectory() { std::filesystem::remove_all(path_); }

bool FileExists(const std::string& path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0;
}

std::string PathIn(const std::string& directory, const std::string& name) {
  return directory + "/" + name;
}

std::string AsTextOutput(const std::string& text) { return text; }

std::string SystemErrorText(int code) { return std::strerror(code); }

const int kMissingDirectoryError = ENOENT;

Outcome RunProcess(const Launch& launch) {
  const TemporaryDirectory capture;
  const std::string outPath = capture.path() + "/out";
  int unread[2] = {-1, -1};
  if (launch.standardOutputClosed) {
    if (pipe(unread) != 0) throw std::runtime_error("pipe failed");
    close(unread[0]);
  }
  const std::string errPath = capture.path() + "/err";
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    // Ignored signals stay ignored across exec: the write fails with EPIPE instead of killing.
    if (launch.standardOutputClosed) signal(SIGPIPE, SIG_IGN);
    const int out = launch.standardOutputClosed
                        ? unread[1]
                        : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0) _exit(125);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (!launch.workingDirectory.empty() && chdir(launch.workingDirectory.c_str()) != 0) _exit(125);
    for (const std::string& name : launch.unsetEnvironment) unsetenv(name.c_str());
    for (const std::string& entry : launch.environment) putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> argv;
    for (const std::string& argument : launch.arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(launch.program.c_str(), argv.data());
    _exit(126);
  }
  if (launch.standardOutputClosed) close(unread[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  Outcome outcome;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  outcome.out = ReadFile(outPath);
  outcome.err = ReadFile(errPath);
  return outcome;
}
