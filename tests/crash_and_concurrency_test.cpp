// The real library's setting under processes killed at random moments and under many
// processes switching at once: it is always one that was asked for, never torn.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tarnel4d/debug_setting.h"
#include "tests/process.h"

namespace {

namespace fs = std::filesystem;

pid_t StartSwitchLoop(const std::string& home, long count, const std::string& log) {
  const pid_t child = fork();
  if (child == 0) {
    setenv("TARNEL4D_HOME", home.c_str(), 1);
    const std::string turns = std::to_string(count);
    execl(SWITCH_LOOP, SWITCH_LOOP, turns.c_str(), log.c_str(), static_cast<char*>(nullptr));
    _exit(254);
  }
  return child;
}

int WaitFor(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> Temporaries(const std::string& home) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(home)) {
    if (entry.path().filename().string().rfind(".setting.", 0) == 0) found.push_back(entry.path());
  }
  return found;
}

// The setting is whole and is one of those asked for: off, or on to one of the logs.
void ExpectOneOf(const std::string& home, const std::set<std::string>& logs) {
  const auto setting = tarnel4d::DecodeSetting(ReadFile(home + "/setting"));
  ASSERT_TRUE(setting.has_value()) << "torn setting: " << ReadFile(home + "/setting");
  if (setting->on) {
    EXPECT_EQ(logs.count(setting->logPath), 1u) << setting->logPath;
  }
}

void ExpectWholeLines(const std::string& log) {
  static const std::regex line(
      R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ \[\d+\] Fax\w+\([^)]*\) (ok.*|app \d+|failed: .*))");
  const std::string text = ReadFile(log);
  std::size_t start = 0, lines = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    ASSERT_TRUE(std::regex_match(text.substr(start, end - start), line))
        << text.substr(start, end - start);
    ++lines;
  }
  EXPECT_EQ(start, text.size()) << "a line is cut short";
  EXPECT_GT(lines, 0u);
}

TEST(CrashConsistency, KilledWritersLeaveTheOldOrTheNewSetting) {
  const TemporaryDirectory directory;
  const std::string home = directory.path() + "/state";
  const std::string log = directory.path() + "/fax.log";
  std::mt19937 random(20261211);
  std::uniform_int_distribution<int> microseconds(0, 5000);
  constexpr int kKills = 150;
  for (int kill = 0; kill < kKills; ++kill) {
    const pid_t child = StartSwitchLoop(home, 1000000, log);
    // Once the loop is switching (however slowly it started), kill it at a random moment.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(home + "/setting") && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::this_thread::sleep_for(std::chrono::microseconds(microseconds(random)));
    ::kill(child, SIGKILL);
    EXPECT_EQ(WaitFor(child), 128 + SIGKILL) << "the loop ended before it was killed";
    ExpectOneOf(home, {log});
    ASSERT_EQ(WaitFor(StartSwitchLoop(home, 1, log)), 0) << "the next switch failed";
    EXPECT_EQ(Temporaries(home), std::vector<std::string>{});
  }
  ExpectWholeLines(log);
}

TEST(Concurrency, ManyProcessesSwitchingAtOnce) {
  const TemporaryDirectory directory;
  const std::string home = directory.path() + "/state";
  constexpr int kProcesses = 8;
  constexpr int kSwitches = 200;
  std::set<std::string> logs;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const std::string log = directory.path() + "/fax-" + std::to_string(p) + ".log";
    logs.insert(log);
    children.push_back(StartSwitchLoop(home, kSwitches, log));
  }
  for (pid_t child : children) EXPECT_EQ(WaitFor(child), 0);
  ExpectOneOf(home, logs);
  for (const std::string& log : logs) ExpectWholeLines(log);
  EXPECT_EQ(Temporaries(home), std::vector<std::string>{});
}

}  // namespace
