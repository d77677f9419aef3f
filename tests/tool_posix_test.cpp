// What only the POSIX tool does: it forms its command line from an argument vector.
#include <gtest/gtest.h>

#include "tests/tool_run.h"

namespace {

using namespace tool_run;

TEST_F(ToolRun, ValueWithSpacesInOneArgumentIsOneValue) {
  const Outcome outcome = RunTool({"/L:/tmp/my logs/fax.log", "-x:a b"});
  EXPECT_EQ(outcome.out, kBanner + "Enabled debugging to: /tmp/my logs/fax.log");
  EXPECT_EQ(RecordedCalls(), Calls("1, \"/tmp/my logs/fax.log\""));
}

TEST_F(ToolRun, ArgumentsWithoutTheOptionFormGoAsTheyAre) {
  // "-l x" holds a space before any colon: -l with no value, then the word x.
  const Outcome outcome = RunTool({"-l x:/y z"});
  EXPECT_EQ(outcome.out, kBanner + "Enabled debugging to: ");
  EXPECT_EQ(RecordedCalls(), Calls("1, \"\""));
}

TEST_F(ToolRun, QuoteInsideProgramPathDoesNotEndItEarly) {
  const Outcome outcome = RunTool({}, "/opt/odd\"-L path/kestrovane");
  EXPECT_EQ(outcome.out, kBanner + "Disabled debugging");
  EXPECT_EQ(RecordedCalls(), kOffCalls);
}

TEST_F(ToolRun, FailureLineInWords) {
  const Outcome outcome = RunTool({"/L:/nope/fax.log"}, "kestrovane", "FaxEnableDebug=2");
  EXPECT_EQ(outcome.err,
            "Kestrovane: could not enable debugging to /nope/fax.log: No such file or directory\n");
  EXPECT_EQ(outcome.status, 1);
}

TEST_F(ToolRun, ClosedOutputInWords) {
  standardOutputClosed_ = true;
  EXPECT_EQ(RunTool({}).err, "Kestrovane: could not write to standard output: Broken pipe\n");
}

// On Windows the import table does the same (checked on the image): Wine, unlike Windows,
// starts a program whose DLL lacks an imported call, so this runs on POSIX only.
TEST_F(ToolRun, LibraryWithoutACallStopsTheToolBeforeItPrints) {
  const Outcome outcome = RunTool({"/L:c:\\fax.log"}, "kestrovane", "", kWithIncomplete);
  EXPECT_NE(outcome.status, 0);
  EXPECT_EQ(outcome.out, "");
  EXPECT_NE(outcome.err.find("FaxEnableDebug"), std::string::npos) << outcome.err;
  EXPECT_FALSE(FileExists(calls_));
}

}  // namespace
