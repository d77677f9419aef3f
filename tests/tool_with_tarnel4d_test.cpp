// The tool as a real process against the real library, found where the tool stands: the
// setting outlives a run, and the log is really written.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/process.h"

namespace {

const std::string kBanner = AsTextOutput("Kestrovane V 1.0\n");

class ToolWithLibrary : public testing::Test {
 protected:
  Outcome RunTool(const std::vector<std::string>& arguments, const std::string& cwd = "") {
    Launch launch;
    launch.program = KESTROVANE;
    launch.arguments = {"kestrovane"};
    launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
    launch.environment = {"TARNEL4D_HOME=" + home_, "LC_ALL=C"};
    launch.workingDirectory = cwd;
    return RunProcess(launch);
  }

  // The log's lines with the time and process id taken off, after checking their form.
  static std::vector<std::string> CallsIn(const std::string& log) {
    static const std::regex line(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ \[\d+\] (.*))");
    std::vector<std::string> calls;
    std::size_t start = 0;
    for (std::size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
      std::smatch match;
      const std::string text = log.substr(start, end - start);
      EXPECT_TRUE(std::regex_match(text, match, line)) << text;
      calls.push_back(match[1]);
    }
    EXPECT_EQ(start, log.size()) << "the log ends inside a line";
    return calls;
  }

  TemporaryDirectory temporary_;
  std::string directory_ = temporary_.path();
  std::string home_ = PathIn(directory_, "state");
};

TEST_F(ToolWithLibrary, SettingOutlivesTheRunAndTheLogIsWritten) {
  const std::string log = PathIn(directory_, "fax.log");
  Outcome on = RunTool({"/L:" + log});
  EXPECT_EQ(on.status, 0);
  EXPECT_EQ(on.out, kBanner + "Enabled debugging to: " + log);
  EXPECT_EQ(on.err, "");
  EXPECT_EQ(CallsIn(ReadFile(log)),
            (std::vector<std::string>{"FaxEnableDebug(app 1, on, " + log + ") ok",
                                      "FaxUnregisterApp(app 1) ok"}));

  EXPECT_EQ(RunTool({"/?"}).status, 0);
  Outcome off = RunTool({});
  EXPECT_EQ(off.out, kBanner + "Disabled debugging");
  EXPECT_EQ(RunTool({}).status, 0);  // off already: writes nowhere
  EXPECT_EQ(CallsIn(ReadFile(log)),
            (std::vector<std::string>{"FaxEnableDebug(app 1, on, " + log + ") ok",
                                      "FaxUnregisterApp(app 1) ok", "FaxRegisterApp(0, 0) app 1",
                                      "FaxEnableDebug(app 1, off) ok, debug logging is off"}));
}

TEST_F(ToolWithLibrary, RelativePathIsKeptAbsolute) {
  const Outcome on = RunTool({"/L:relative.log"}, directory_);
  EXPECT_EQ(on.out, kBanner + "Enabled debugging to: relative.log");
  const std::string log = PathIn(directory_, "relative.log");
  EXPECT_EQ(CallsIn(ReadFile(log)).front(), "FaxEnableDebug(app 1, on, relative.log) ok");
  const TemporaryDirectory elsewhere;
  RunTool({"/debug:ignored"}, elsewhere.path());  // still logs to the same file
  EXPECT_EQ(CallsIn(ReadFile(log)).at(2), "FaxRegisterApp(0, 0) app 1");
}

TEST_F(ToolWithLibrary, PathWithSpacesInOneArgument) {
  ASSERT_TRUE(std::filesystem::create_directory(PathIn(directory_, "my logs")));
  const std::string log = PathIn(PathIn(directory_, "my logs"), "fax.log");
  const Outcome on = RunTool({"/L:\"" + log + "\""});
  EXPECT_EQ(on.out, kBanner + "Enabled debugging to: " + log);
  EXPECT_EQ(CallsIn(ReadFile(log)).size(), 2u);
}

TEST_F(ToolWithLibrary, DebugWithoutPathLogsToTheDefaultLog) {
  const Outcome on = RunTool({"/debug"});
  EXPECT_EQ(on.out, kBanner + "Enabled debugging to: (null)");
  const std::string log = PathIn(home_, "debug.log");
  EXPECT_EQ(CallsIn(ReadFile(log)).front(),
            "FaxEnableDebug(app 1, on, null) ok, logging to " + log);
}

TEST_F(ToolWithLibrary, LogThatCannotBeOpenedFailsAndKeepsTheSetting) {
  const std::string log = PathIn(directory_, "fax.log");
  ASSERT_EQ(RunTool({"/L:" + log}).status, 0);
  const std::string setting = ReadFile(PathIn(home_, "setting"));

  const std::string bad = PathIn(PathIn(directory_, "missing"), "fax.log");
  const Outcome failed = RunTool({"/L:" + bad});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out, kBanner);
  const std::string reason = SystemErrorText(kMissingDirectoryError);
  EXPECT_EQ(failed.err, AsTextOutput("Kestrovane: could not enable debugging to " + bad + ": " +
                                     reason + "\n"));
  EXPECT_EQ(ReadFile(PathIn(home_, "setting")), setting);
  const std::vector<std::string> calls = CallsIn(ReadFile(log));
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[3], "FaxEnableDebug(app 1, on, " + bad + ") failed: " + reason);
}

}  // namespace
