// The real tool and library when the storage fails them: each fault either works or gives a
// line on standard error and status 1; the previous setting stays whole and readable, and no
// temporary file is left behind.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/process.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

// A small tmpfs of the test's own, for faults a root user cannot otherwise meet.
class SmallFilesystem {
 public:
  explicit SmallFilesystem(const std::string& at, const char* options = "size=64k") : at_(at) {
    fs::create_directories(at);
    mounted_ = mount("tmpfs", at.c_str(), "tmpfs", 0, options) == 0;
  }
  ~SmallFilesystem() {
    if (mounted_) umount2(at_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  bool MakeReadOnly() {
    return mount(nullptr, at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }
  // Fills the filesystem to the last byte.
  void Fill() {
    std::ofstream filler(at_ + "/filler", std::ios::binary);
    const std::string block(512, 'x');
    while (filler.write(block.data(), block.size())) {
    }
    std::ofstream(at_ + "/filler", std::ios::app) << 'x';
  }

 private:
  std::string at_;
  bool mounted_ = false;
};

class StorageFault : public testing::Test {
 protected:
  Outcome RunTool(const std::vector<std::string>& arguments,
                  std::vector<std::string> environment = {}) {
    Launch launch;
    launch.program = KESTROVANE;
    launch.arguments = {"kestrovane"};
    launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
    launch.environment = {"TARNEL4D_HOME=" + home_, "LC_ALL=C"};
    launch.environment.insert(launch.environment.end(), environment.begin(), environment.end());
    return RunProcess(launch);
  }

  // Switches logging on to old.log, the setting every fault must leave intact.
  void SetUpPreviousSetting() {
    ASSERT_EQ(RunTool({"/L:" + directory_ + "/old.log"}).status, 0);
    previous_ = ReadFile(home_ + "/setting");
    ASSERT_FALSE(previous_.empty());
  }

  void ExpectFailure(const Outcome& outcome, const std::string& whatFailed,
                     const std::string& reason) {
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "Kestrovane V 1.0\n");
    EXPECT_EQ(outcome.err, "Kestrovane: " + whatFailed + ": " + reason + "\n");
  }

  void ExpectPreviousSettingAndNoTemporaries() {
    EXPECT_EQ(ReadFile(home_ + "/setting"), previous_);
    ExpectNoTemporaries();
  }

  void ExpectNoTemporaries() {
    if (!fs::is_directory(home_)) return;
    for (const auto& entry : fs::directory_iterator(home_)) {
      EXPECT_NE(entry.path().filename().string().rfind(".setting.", 0), 0u) << entry.path();
    }
  }

  TemporaryDirectory temporary_;
  std::string directory_ = temporary_.path();
  std::string home_ = directory_ + "/state";
  std::string previous_;
};

TEST_F(StorageFault, SettingsDirectoryReadOnly) {
  SmallFilesystem state(home_);
  if (!state.mounted()) GTEST_SKIP() << "this machine does not let the test mount a tmpfs";
  SetUpPreviousSetting();
  ASSERT_TRUE(state.MakeReadOnly());
  const std::string log = directory_ + "/new.log";
  ExpectFailure(RunTool({"/L:" + log}), "could not enable debugging to " + log,
                "Read-only file system");
  EXPECT_FALSE(fs::exists(log)) << "a log was left behind for a setting that was not kept";
  ExpectFailure(RunTool({}), "could not disable debugging", "Read-only file system");
  ExpectPreviousSettingAndNoTemporaries();
}

TEST_F(StorageFault, SettingsDirectoryNotCreatable) {
  SmallFilesystem parent(directory_ + "/ro");
  if (!parent.mounted()) GTEST_SKIP() << "this machine does not let the test mount a tmpfs";
  ASSERT_TRUE(parent.MakeReadOnly());
  home_ = directory_ + "/ro/state";
  ExpectFailure(RunTool({"/debug"}), "could not enable debugging", "Read-only file system");
  EXPECT_FALSE(fs::exists(home_));
}

TEST_F(StorageFault, DiskFullAtTheSetting) {
  SmallFilesystem state(home_);
  if (!state.mounted()) GTEST_SKIP() << "this machine does not let the test mount a tmpfs";
  SetUpPreviousSetting();
  state.Fill();
  const std::string log = directory_ + "/new.log";
  ExpectFailure(RunTool({"/L:" + log}), "could not enable debugging to " + log,
                "No space left on device");
  ExpectPreviousSettingAndNoTemporaries();
}

TEST_F(StorageFault, DiskFullAtTheLog) {
  SetUpPreviousSetting();
  SmallFilesystem logs(directory_ + "/logs");
  if (!logs.mounted()) GTEST_SKIP() << "this machine does not let the test mount a tmpfs";
  logs.Fill();
  const std::string log = directory_ + "/logs/fax.log";
  ExpectFailure(RunTool({"/L:" + log}), "could not enable debugging to " + log,
                "No space left on device");
  ExpectPreviousSettingAndNoTemporaries();
  EXPECT_FALSE(fs::exists(log));
}

TEST_F(StorageFault, LogPathsThatCannotBeLogs) {
  SetUpPreviousSetting();
  fs::create_directory(directory_ + "/a-directory");
  fs::create_symlink(directory_ + "/old.log", directory_ + "/link.log");
  SmallFilesystem readOnly(directory_ + "/ro");
  const bool mounted = readOnly.mounted() && readOnly.MakeReadOnly();
  struct Case {
    std::string path;
    std::string reason;
  };
  std::vector<Case> cases = {
      {directory_ + "/missing/fax.log", "No such file or directory"},
      {directory_ + "/a-directory", "Is a directory"},
      {directory_ + "/link.log", "Too many levels of symbolic links"},
  };
  if (mounted) cases.push_back({directory_ + "/ro/fax.log", "Read-only file system"});
  for (const Case& c : cases) {
    ExpectFailure(RunTool({"/L:" + c.path}), "could not enable debugging to " + c.path, c.reason);
    ExpectPreviousSettingAndNoTemporaries();
  }
}

struct DamagedSetting {
  const char* name;
  std::function<void(const std::string& setting)> damage;
};

TEST_F(StorageFault, DamagedSettingFileCountsAsOffAndIsReplaced) {
  SetUpPreviousSetting();
  const std::string setting = home_ + "/setting";
  const std::string target = directory_ + "/elsewhere";
  const std::vector<DamagedSetting> damages = {
      {"corrupt",
       [](const std::string& p) { WriteFile(p, "tarnel4d setting 1\ndebug sideways\nend\n"); }},
      {"truncated", [this](const std::string& p) { WriteFile(p, previous_.substr(0, 30)); }},
      {"empty", [](const std::string& p) { WriteFile(p, ""); }},
      {"symbolic link",
       [&target, this](const std::string& p) {
         WriteFile(target, previous_);
         fs::remove(p);
         fs::create_symlink(target, p);
       }},
  };
  for (const DamagedSetting& d : damages) {
    SCOPED_TRACE(d.name);
    d.damage(setting);
    const Outcome off = RunTool({});  // counts as off: nothing is written to old.log
    EXPECT_EQ(off.status, 0);
    const std::string log = directory_ + "/next.log";
    EXPECT_EQ(RunTool({"/L:" + log}).status, 0);
    EXPECT_FALSE(fs::is_symlink(setting));
    EXPECT_NE(ReadFile(setting).find(log), std::string::npos);
    ExpectNoTemporaries();
  }
  EXPECT_EQ(ReadFile(target), previous_) << "the link's target was written through";
}

TEST_F(StorageFault, SettingFileThatIsADirectory) {
  fs::create_directories(home_ + "/setting");
  const std::string log = directory_ + "/fax.log";
  ExpectFailure(RunTool({"/L:" + log}), "could not enable debugging to " + log, "Is a directory");
  EXPECT_TRUE(fs::is_directory(home_ + "/setting"));
  ExpectNoTemporaries();
}

TEST_F(StorageFault, StaleTemporaryFromADeadWriterIsRemoved) {
  SetUpPreviousSetting();
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  const std::string stale = home_ + "/.setting." + std::to_string(dead) + ".Ab12Cd";
  WriteFile(stale, "tarnel4d setting 1\ndebug o");
  EXPECT_EQ(RunTool({}).status, 0);
  EXPECT_FALSE(fs::exists(stale));
}

TEST_F(StorageFault, NoHomeVariablesUsesThePasswordEntry) {
  // HOME, XDG_STATE_HOME and TARNEL4D_HOME unset: the user's home from the password database.
  // The test keeps and restores whatever setting that user had.
  const std::string userHome = getpwuid(getuid())->pw_dir;
  const std::string real = userHome + "/.local/state/tarnel4d";
  const bool existed = fs::exists(real + "/setting");
  const std::string kept = existed ? ReadFile(real + "/setting") : "";
  std::string firstMade;  // the outermost directory the run will make, removed again after it
  for (const char* below : {"/.local", "/.local/state", "/.local/state/tarnel4d"}) {
    if (firstMade.empty() && !fs::exists(userHome + below)) firstMade = userHome + below;
  }
  const std::string log = directory_ + "/fax.log";
  Launch launch;
  launch.program = KESTROVANE;
  launch.arguments = {"kestrovane", "/L:" + log};
  launch.environment = {"LC_ALL=C"};
  launch.unsetEnvironment = {"HOME", "XDG_STATE_HOME", "TARNEL4D_HOME"};
  const Outcome outcome = RunProcess(launch);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(ReadFile(real + "/setting").find(log), std::string::npos);
  if (existed) {
    WriteFile(real + "/setting", kept);
  } else {
    fs::remove(real + "/setting");
  }
  if (!firstMade.empty()) fs::remove_all(firstMade);
}

}  // namespace
