// What only the POSIX tool does: it forms its command line from an argument vector.
#include <gtest/gtest.h>

#include <chrono>

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

namespace {

using namespace tool_run;

// Odd input through the real tool, in real locales.
class OddInput : public ToolRun {
 protected:
  Outcome RunIn(const char* locale, const std::vector<std::string>& arguments) {
    Launch launch;
    launch.program = RECORDING_KESTROVANE;
    launch.arguments = {"kestrovane"};
    launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
    launch.environment = {"LD_LIBRARY_PATH=" + std::string(RECORDING_LIBRARY_DIR),
                          "RECORDING_TARNEL4D_LOG=" + calls_, "LOCPATH=" TEST_LOCPATH,
                          std::string("LC_ALL=") + locale};
    return RunProcess(launch);
  }
};

TEST_F(OddInput, MoreThanAMebibyteOfArguments) {
  std::vector<std::string> arguments;
  std::size_t bytes = 0;
  for (int i = 0; bytes < (1u << 20) + 4096; ++i) {
    arguments.push_back("/option-" + std::to_string(i) + ":" + std::string(48, 'v'));
    bytes += arguments.back().size() + 1;
  }
  arguments.push_back("/L:last");
  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome = RunIn("C.UTF-8", arguments);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(outcome.out, kBanner + "Enabled debugging to: last");
  EXPECT_LT(took, std::chrono::seconds(2)) << arguments.size() << " arguments";
}

struct OddCase {
  const char* locale;
  std::vector<std::string> arguments;
  std::string calls;
};

void PrintTo(const OddCase& c, std::ostream* os) { *os << c.locale; }

class OddInputCase : public OddInput, public testing::WithParamInterface<OddCase> {};

TEST_P(OddInputCase, GivesTheAnswerTheRulesGive) {
  const Outcome outcome = RunIn(GetParam().locale, GetParam().arguments);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(RecordedCalls(), GetParam().calls);
}

std::string EveryByteButSpace() {
  std::string bytes;
  for (int b = 1; b < 256; ++b) {
    if (b != ' ') bytes += static_cast<char>(b);
  }
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Table, OddInputCase,
    testing::Values(
        OddCase{"C.UTF-8", {"/L:\xff\xfe\xc3"}, Calls("1, \"\xff\xfe\xc3\"")},
        OddCase{"C.UTF-8", {"/\xc3L:x"}, kOffCalls},  // a lone lead byte, then the letter L
        OddCase{"zh_CN.GBK", {"/L:x\x81"}, Calls("1, \"x\x81\"")},  // lead byte last
        OddCase{"zh_CN.GBK", {"/\x81", "/L:y"}, Calls("1, \"y\"")},
        OddCase{"zh_CN.GBK", {"/L\x81"}, kOffCalls}, OddCase{"C.UTF-8", {"\""}, kOffCalls},
        OddCase{"C.UTF-8", {"/L:\""}, Calls("1, \"\"")},
        OddCase{"C.UTF-8", {"/L:\"abc", "/debug"}, Calls("1, \"abc /debug\"")},
        OddCase{
            "C.UTF-8", {"/L:" + EveryByteButSpace()}, Calls("1, \"" + EveryByteButSpace() + "\"")},
        OddCase{"zh_CN.GBK",
                {"/L:" + EveryByteButSpace()},
                Calls("1, \"" + EveryByteButSpace() + "\"")},
        OddCase{"de_DE.ISO-8859-1",
                {"/L:" + EveryByteButSpace()},
                Calls("1, \"" + EveryByteButSpace() + "\"")}));

}  // namespace
