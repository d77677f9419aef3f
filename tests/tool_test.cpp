// The tool as a real process against a recording stand-in of the fax library: what it prints,
// its exit status, and the calls it makes with their arguments, in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tool_run.h"

namespace {

using namespace tool_run;

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

// The recording library fails the calls named in `fail` with the error codes given there; the
// tool names what it could not do and gives the system's wording of the first failure's code.
struct FailureCase {
  std::vector<std::string> arguments;
  std::string fail;
  int code;
  std::string whatFailed;
  std::string calls;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.fail; }

class ToolFailure : public ToolRun, public testing::WithParamInterface<FailureCase> {};

TEST_P(ToolFailure, SaysWhyAndExitsWithOne) {
  const Outcome outcome = RunTool(GetParam().arguments, "kestrovane", GetParam().fail);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, kBanner);
  EXPECT_EQ(outcome.err, AsTextOutput("Kestrovane: " + GetParam().whatFailed + ": " +
                                      SystemErrorText(GetParam().code) + "\n"));
  EXPECT_EQ(RecordedCalls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    LibraryFails, ToolFailure,
    testing::Values(
        FailureCase{{"/L:c:\\fax.log"},
                    "FaxRegisterApp=13",
                    13,
                    "could not register with the fax library",
                    "FaxRegisterApp(0, 0)\n"},
        FailureCase{{"/L:/nope/fax.log"},
                    "FaxEnableDebug=2",
                    2,
                    "could not enable debugging to /nope/fax.log",
                    Calls("1, \"/nope/fax.log\"")},
        FailureCase{
            {"/debug"}, "FaxEnableDebug=28", 28, "could not enable debugging", Calls("1, null")},
        FailureCase{
            {"/L:"}, "FaxEnableDebug=28", 28, "could not enable debugging", Calls("1, \"\"")},
        FailureCase{{}, "FaxEnableDebug=30", 30, "could not disable debugging", kOffCalls},
        FailureCase{
            {}, "FaxUnregisterApp=22", 22, "could not unregister from the fax library", kOffCalls},
        FailureCase{{"/L:x"},
                    "FaxEnableDebug=5,FaxUnregisterApp=22",
                    5,
                    "could not enable debugging to x",
                    Calls("1, \"x\"")}));

TEST_F(ToolRun, OutputThatCannotBeWrittenFailsTheRun) {
  standardOutputClosed_ = true;
  const Outcome outcome = RunTool({"/L:c:\\fax.log"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err.rfind("Kestrovane: could not write to standard output: ", 0), 0u)
      << outcome.err;
}

}  // namespace
