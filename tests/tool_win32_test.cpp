// What only the Windows tool does: it takes the command line exactly as the process was given
// it, and writes text-mode output.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tool_run.h"

namespace {

using namespace tool_run;

struct CommandLineCase {
  const char* commandLine;
  std::string out;
  std::string calls;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.commandLine; }

class ExactCommandLine : public ToolRun, public testing::WithParamInterface<CommandLineCase> {};

TEST_P(ExactCommandLine, IsScannedAsGiven) {
  commandLine_ = GetParam().commandLine;
  const Outcome outcome = RunTool({});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, GetParam().out);
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(RecordedCalls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ExactCommandLine,
    testing::Values(
        CommandLineCase{R"(Kestrovane /L:"c:\my logs\x.log")",
                        "Kestrovane V 1.0\r\nEnabled debugging to: c:\\my logs\\x.log",
                        Calls(R"(1, "c:\my logs\x.log")")},
        CommandLineCase{R"("C:\Tools-L 1\tool.exe" /L:c:\x.log)",
                        "Kestrovane V 1.0\r\nEnabled debugging to: c:\\x.log",
                        Calls(R"(1, "c:\x.log")")},
        CommandLineCase{
            "Kestrovane/?",
            "Kestrovane V 1.0\r\n"
            "usage: Kestrovane /L:c:\\fax.log    -   Enabled debugging to c:\\fax.log\r\n"
            "Kestrovane                         -   Disables debugging\r\n",
            ""},
        CommandLineCase{R"("C:\no closing quote /L:x)", "Kestrovane V 1.0\r\nDisabled debugging",
                        kOffCalls}));

TEST_F(ToolRun, MissingLibraryStopsTheToolBeforeItPrints) {
  const std::string alone = PathIn(directory_, "Kestrovane.exe");
  std::filesystem::copy_file(RECORDING_KESTROVANE, alone);
  Launch launch;
  launch.program = alone;
  launch.arguments = {"Kestrovane", "/L:c:\\fax.log"};
  const Outcome outcome = RunProcess(launch);
  EXPECT_NE(outcome.status, 0);
  EXPECT_EQ(outcome.out, "");
}

}  // namespace
