// The real libtarnel4d.so through its three calls.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tool/fax_library.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

void WriteFile(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

mode_t ModeOf(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 ? (status.st_mode & 0777) : 0;
}

std::vector<std::string> Entries(const std::string& directory) {
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    entries.push_back(entry.path().filename().string());
  }
  return entries;
}

class Tarnel4d : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tarnel4d-test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory_ = pattern;
    home_ = directory_ + "/state";
    setenv("TARNEL4D_HOME", home_.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  // One registration, one switch, one unregistration, as the tool makes them.
  bool Switch(int32_t enable, const char* logPath) {
    const FaxAppHandle app = FaxRegisterApp(0, 0);
    EXPECT_NE(app, 0u);
    const bool switched = FaxEnableDebug(app, enable, logPath) != 0;
    const int reason = errno;
    EXPECT_NE(FaxUnregisterApp(app), 0);
    errno = reason;
    return switched;
  }

  std::string directory_;
  std::string home_;
};

TEST_F(Tarnel4d, HandlesAreDistinctNonZeroAndLiveUntilUnregistered) {
  const FaxAppHandle first = FaxRegisterApp(0, 0);
  const FaxAppHandle second = FaxRegisterApp(0, 0);
  EXPECT_NE(first, 0u);
  EXPECT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_NE(FaxUnregisterApp(first), 0);
  errno = 0;
  EXPECT_EQ(FaxUnregisterApp(first), 0);
  EXPECT_EQ(errno, EINVAL);
  errno = 0;
  EXPECT_EQ(FaxEnableDebug(first, 0, nullptr), 0);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_NE(FaxUnregisterApp(second), 0);
}

TEST_F(Tarnel4d, UnknownHandlesAndReservedValuesAreRefused) {
  for (const auto& [reserved1, reserved2] : {std::pair{1u, 0u}, {0u, 1u}, {7u, 9u}}) {
    errno = 0;
    EXPECT_EQ(FaxRegisterApp(reserved1, reserved2), 0u);
    EXPECT_EQ(errno, EINVAL);
  }
  for (FaxAppHandle unknown : {0u, 0xFFFFFFFFu}) {
    errno = 0;
    EXPECT_EQ(FaxEnableDebug(unknown, 1, nullptr), 0);
    EXPECT_EQ(errno, EINVAL);
    errno = 0;
    EXPECT_EQ(FaxUnregisterApp(unknown), 0);
    EXPECT_EQ(errno, EINVAL);
  }
  EXPECT_FALSE(std::ifstream(home_ + "/setting").good()) << "a refused call changed the setting";
}

TEST_F(Tarnel4d, RegistrationIsThreadSafe) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 2000;
  std::vector<std::vector<FaxAppHandle>> handles(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&handles, t] {
      for (int i = 0; i < kPerThread; ++i) handles[t].push_back(FaxRegisterApp(0, 0));
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::set<FaxAppHandle> distinct;
  for (const auto& list : handles) distinct.insert(list.begin(), list.end());
  EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kThreads * kPerThread));
  EXPECT_EQ(distinct.count(0), 0u);
  for (FaxAppHandle app : distinct) ASSERT_NE(FaxUnregisterApp(app), 0);
}

TEST_F(Tarnel4d, SettingAndLogAreForTheUserAlone) {
  const std::string log = directory_ + "/fax.log";
  ASSERT_TRUE(Switch(1, log.c_str()));
  EXPECT_EQ(ModeOf(home_), 0700u);
  EXPECT_EQ(ModeOf(home_ + "/setting"), 0600u);
  EXPECT_EQ(ModeOf(log), 0600u);
  EXPECT_EQ(Entries(home_), (std::vector<std::string>{"setting"}));
}

TEST_F(Tarnel4d, EveryCallIsLoggedWhileLoggingIsOn) {
  const std::string log = directory_ + "/fax.log";
  ASSERT_TRUE(Switch(1, log.c_str()));
  ASSERT_TRUE(Switch(0, nullptr));
  ASSERT_TRUE(Switch(0, nullptr));
  const std::string text = ReadFile(log);
  for (const char* expected :
       {"FaxEnableDebug(app ", ", on, ", ") ok\n", "FaxRegisterApp(0, 0) app ",
        "FaxEnableDebug(app ", ", off) ok, debug logging is off\n"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in\n" << text;
  }
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 4u) << text;  // nothing after switching off
}

TEST_F(Tarnel4d, SymbolicLinkAsLogIsRefusedAndTheSettingStays) {
  const std::string log = directory_ + "/fax.log";
  ASSERT_TRUE(Switch(1, log.c_str()));
  const std::string setting = ReadFile(home_ + "/setting");
  const std::string link = directory_ + "/link.log";
  ASSERT_EQ(symlink(log.c_str(), link.c_str()), 0);
  errno = 0;
  EXPECT_FALSE(Switch(1, link.c_str()));
  EXPECT_EQ(errno, ELOOP);
  EXPECT_EQ(ReadFile(home_ + "/setting"), setting);
  EXPECT_EQ(Entries(home_), (std::vector<std::string>{"setting"}));
}

TEST_F(Tarnel4d, LogThatCannotBeOpenedLeavesNoFileBehind) {
  for (const std::string& bad : {directory_ + "/missing/fax.log", directory_}) {
    errno = 0;
    EXPECT_FALSE(Switch(1, bad.c_str()));
    EXPECT_NE(errno, 0);
  }
  EXPECT_FALSE(std::ifstream(home_ + "/setting").good());
}

TEST_F(Tarnel4d, SettingThatCannotBeKeptRemovesTheNewLog) {
  WriteFile(directory_ + "/not-a-directory", "x");
  setenv("TARNEL4D_HOME", (directory_ + "/not-a-directory/state").c_str(), 1);
  const std::string log = directory_ + "/fax.log";
  errno = 0;
  EXPECT_FALSE(Switch(1, log.c_str()));
  EXPECT_EQ(errno, ENOTDIR);
  EXPECT_FALSE(std::ifstream(log).good());
}

TEST_F(Tarnel4d, UnreadableOrCorruptSettingCountsAsOff) {
  const std::string log = directory_ + "/fax.log";
  ASSERT_TRUE(Switch(1, log.c_str()));
  const std::string whole = ReadFile(home_ + "/setting");
  const std::string before = ReadFile(log);
  for (const std::string& damaged :
       {whole.substr(0, whole.size() - 1), std::string("garbage\n"), std::string(), whole + "x"}) {
    WriteFile(home_ + "/setting", damaged);
    ASSERT_TRUE(Switch(0, nullptr));  // off already: nothing is written to the old log
    EXPECT_EQ(ReadFile(log), before);
    WriteFile(home_ + "/setting", whole);
  }
  ASSERT_TRUE(Switch(1, log.c_str()));  // the next switch replaces a damaged setting
}

TEST_F(Tarnel4d, EmptyOrMissingPathLogsToTheDefaultLog) {
  for (const char* path : {static_cast<const char*>(nullptr), ""}) {
    ASSERT_TRUE(Switch(1, path));
    EXPECT_NE(ReadFile(home_ + "/debug.log").find("ok, logging to " + home_ + "/debug.log\n"),
              std::string::npos);
  }
}

struct DirectoryCase {
  const char* tarnel4dHome;
  const char* xdgStateHome;
  const char* home;
  const char* expected;  // relative to the test's directory
};

TEST_F(Tarnel4d, SettingsDirectoryFollowsTheEnvironment) {
  const std::string d = directory_;
  const DirectoryCase cases[] = {
      {"own", "xdg", "home", "own"},
      {nullptr, "xdg", "home", "xdg/tarnel4d"},
      {"", "", "home", "home/.local/state/tarnel4d"},
      {nullptr, "relative/ignored", "home", "home/.local/state/tarnel4d"},
  };
  for (const DirectoryCase& c : cases) {
    auto set = [&d](const char* name, const char* value) {
      if (value == nullptr) {
        unsetenv(name);
      } else {
        const std::string absolute = *value && *value != 'r' ? d + "/" + value : value;
        setenv(name, absolute.c_str(), 1);
      }
    };
    set("TARNEL4D_HOME", c.tarnel4dHome);
    set("XDG_STATE_HOME", c.xdgStateHome);
    set("HOME", c.home);
    ASSERT_TRUE(Switch(1, nullptr));
    EXPECT_TRUE(std::ifstream(d + "/" + c.expected + "/setting").good()) << c.expected;
  }
}

}  // namespace
