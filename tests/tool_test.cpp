// The tool as a real process against a recording stand-in of the fax library: what it prints,
// its exit status, and the calls it makes with their arguments, in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/process.h"

namespace {

const std::string kBanner = "Kestrovane V 1.0\n";
const std::string kUsage =
    kBanner +
    "usage: Kestrovane /L:c:\\fax.log    -   Enabled debugging to c:\\fax.log\n"
    "Kestrovane                         -   Disables debugging\n";

std::string Calls(const std::string& enableArguments) {
  return "FaxRegisterApp(0, 0)\nFaxEnableDebug(41, " + enableArguments +
         ")\nFaxUnregisterApp(41)\n";
}
const std::string kOffCalls = Calls("0, null");

class ToolRun : public testing::Test {
 protected:
  Outcome RunTool(const std::vector<std::string>& arguments,
                  const std::string& programPath = "kestrovane", const std::string& fail = "",
                  const std::string& library = RECORDING_LIBRARY_DIR) {
    Launch launch;
    launch.program = KESTROVANE;
    launch.arguments.push_back(programPath);
    launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
    launch.environment = {"LD_LIBRARY_PATH=" + library, "RECORDING_TARNEL4D_LOG=" + calls_,
                          "RECORDING_TARNEL4D_FAIL=" + fail, "LC_ALL=C"};
    launch.standardOutputClosed = standardOutputClosed_;
    return RunProcess(launch);
  }
  std::string RecordedCalls() const { return ReadFile(calls_); }

  TemporaryDirectory temporary_;
  std::string directory_ = temporary_.path();
  std::string calls_ = directory_ + "/calls";
  bool standardOutputClosed_ = false;
};

struct ToolCase {
  std::vector<std::string> arguments;
  std::string out;
  std::string calls;
};

void PrintTo(const ToolCase& c, std::ostream* os) {
  for (const std::string& argument : c.arguments) *os << "[" << argument << "] ";
}

class ToolCaseRun : public ToolRun, public testing::WithParamInterface<ToolCase> {};

TEST_P(ToolCaseRun, PrintsAndCallsAsAsked) {
  const Outcome outcome = RunTool(GetParam().arguments);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, GetParam().out);
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(RecordedCalls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    OptionTable, ToolCaseRun,
    testing::Values(
        ToolCase{{}, kBanner + "Disabled debugging", kOffCalls},
        ToolCase{{"/L:c:\\fax.log"},
                 kBanner + "Enabled debugging to: c:\\fax.log",
                 Calls("1, \"c:\\fax.log\"")},
        ToolCase{{"-l:c:\\fax.log"},
                 kBanner + "Enabled debugging to: c:\\fax.log",
                 Calls("1, \"c:\\fax.log\"")},
        ToolCase{{"/?"}, kUsage, ""}, ToolCase{{"-HELP"}, kUsage, ""},
        ToolCase{{"/Help:value"}, kUsage, ""}, ToolCase{{"/?", "/L:c:\\fax.log"}, kUsage, ""},
        ToolCase{{"/L:c:\\fax.log", "/help"}, kUsage, ""},
        ToolCase{{"/debug"}, kBanner + "Enabled debugging to: (null)", Calls("1, null")},
        ToolCase{{"-DEBUG:ignored"}, kBanner + "Enabled debugging to: (null)", Calls("1, null")},
        ToolCase{{"/debug", "/L:c:\\x.log"},
                 kBanner + "Enabled debugging to: c:\\x.log",
                 Calls("1, \"c:\\x.log\"")},
        ToolCase{{"/L"}, kBanner + "Enabled debugging to: ", Calls("1, \"\"")},
        ToolCase{{"/L:"}, kBanner + "Enabled debugging to: ", Calls("1, \"\"")},
        ToolCase{{"-l", "c:\\x.log"}, kBanner + "Enabled debugging to: ", Calls("1, \"\"")},
        ToolCase{{"/L:\"c:\\my logs\\fax.log\""},
                 kBanner + "Enabled debugging to: c:\\my logs\\fax.log",
                 Calls("1, \"c:\\my logs\\fax.log\"")},
        ToolCase{{"/L:/tmp/my logs/fax.log"},  // one argument holding a space
                 kBanner + "Enabled debugging to: /tmp/my logs/fax.log",
                 Calls("1, \"/tmp/my logs/fax.log\"")},
        ToolCase{{"/L:C:\\Logs\\Fax.log"},
                 kBanner + "Enabled debugging to: C:\\Logs\\Fax.log",
                 Calls("1, \"C:\\Logs\\Fax.log\"")},
        ToolCase{{"/L:a", "/L:b"}, kBanner + "Enabled debugging to: a", Calls("1, \"a\"")},
        ToolCase{{"/x", "/other:1", "word"}, kBanner + "Disabled debugging", kOffCalls},
        ToolCase{{"/debug\t/L:x"}, kBanner + "Disabled debugging", kOffCalls}));

TEST_F(ToolRun, QuotedProgramPathIsNotScanned) {
  const Outcome outcome = RunTool({"/L:c:\\x.log"}, "C:\\Tools-L 1\\tool.exe");
  EXPECT_EQ(outcome.out, kBanner + "Enabled debugging to: c:\\x.log");
  EXPECT_EQ(RecordedCalls(), Calls("1, \"c:\\x.log\""));
}

TEST_F(ToolRun, QuoteInsideProgramPathDoesNotEndItEarly) {
  const Outcome outcome = RunTool({}, "/opt/odd\"-L path/kestrovane");
  EXPECT_EQ(outcome.out, kBanner + "Disabled debugging");
  EXPECT_EQ(RecordedCalls(), kOffCalls);
}

struct FailureCase {
  std::vector<std::string> arguments;
  std::string fail;
  std::string err;
  std::string calls;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.fail; }

class ToolFailure : public ToolRun, public testing::WithParamInterface<FailureCase> {};

TEST_P(ToolFailure, SaysWhyAndExitsWithOne) {
  const Outcome outcome = RunTool(GetParam().arguments, "kestrovane", GetParam().fail);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, kBanner);
  EXPECT_EQ(outcome.err, GetParam().err);
  EXPECT_EQ(RecordedCalls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    LibraryFails, ToolFailure,
    testing::Values(
        FailureCase{{"/L:c:\\fax.log"},
                    "FaxRegisterApp=13",
                    "Kestrovane: could not register with the fax library: Permission denied\n",
                    "FaxRegisterApp(0, 0)\n"},
        FailureCase{{"/L:/nope/fax.log"},
                    "FaxEnableDebug=2",
                    "Kestrovane: could not enable debugging to /nope/fax.log: No such file or "
                    "directory\n",
                    Calls("1, \"/nope/fax.log\"")},
        FailureCase{{"/debug"},
                    "FaxEnableDebug=28",
                    "Kestrovane: could not enable debugging: No space left on device\n",
                    Calls("1, null")},
        FailureCase{{},
                    "FaxEnableDebug=30",
                    "Kestrovane: could not disable debugging: Read-only file system\n",
                    kOffCalls},
        FailureCase{{},
                    "FaxUnregisterApp=22",
                    "Kestrovane: could not unregister from the fax library: Invalid argument\n",
                    kOffCalls},
        FailureCase{{"/L:x"},
                    "FaxEnableDebug=5,FaxUnregisterApp=22",
                    "Kestrovane: could not enable debugging to x: Input/output error\n",
                    Calls("1, \"x\"")}));

TEST_F(ToolRun, OutputThatCannotBeWrittenFailsTheRun) {
  standardOutputClosed_ = true;
  const Outcome outcome = RunTool({"/L:c:\\fax.log"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "Kestrovane: could not write to standard output: Broken pipe\n");
}

TEST_F(ToolRun, LibraryWithoutACallStopsTheToolBeforeItPrints) {
  const Outcome outcome = RunTool({"/L:c:\\fax.log"}, "kestrovane", "", INCOMPLETE_LIBRARY_DIR);
  EXPECT_NE(outcome.status, 0);
  EXPECT_EQ(outcome.out, "");
  EXPECT_NE(outcome.err.find("FaxEnableDebug"), std::string::npos) << outcome.err;
  EXPECT_FALSE(FileExists(calls_));
}

}  // namespace
