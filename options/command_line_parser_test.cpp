#include "options/command_line_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "options/parser_test_support.h"

namespace {

using options_test::Escaped;
using options_test::InspectableParser;
using options_test::TableOf;

struct ParseCase {
  const char* text;
  const char* table;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << "[" << Escaped(c.text) << "]"; }

class WorkedExample : public testing::TestWithParam<ParseCase> {};

TEST_P(WorkedExample, AfterTheProgramPath) {
  const std::string text = std::string("C:\\Tools\\tool.exe ") + GetParam().text;
  EXPECT_EQ(TableOf(text.c_str()), GetParam().table);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkedExample,
    testing::Values(
        ParseCase{R"(/L:c:\x.log)", R"(l=c:\x.log)"}, ParseCase{R"(-l c:\x.log)", "l="},
        ParseCase{R"(/L c:\x.log)", "l="},
        ParseCase{R"(/L:"c:\my logs\x.log" /debug)", R"(debug=; l=c:\my logs\x.log)"},
        ParseCase{R"(/L:"abc /debug)", "l=abc /debug"}, ParseCase{R"(/L:"" /debug)", "debug=; l="},
        ParseCase{R"(/L:a"b c")", R"(l=a"b)"},
        ParseCase{R"(/L:"c:\x.log"x /debug)", R"(debug=; l=c:\x.log)"}, ParseCase{"/L:", "l="},
        ParseCase{"/L: x", "l="}, ParseCase{"/L::x", "l=:x"}, ParseCase{"/L:a /L:b", "l=a"},
        ParseCase{"/l /L:x", "l="}, ParseCase{"/HELP", "help="}, ParseCase{"/?", "?="},
        ParseCase{R"(/debug /L:c:\x.log)", R"(debug=; l=c:\x.log)"},
        ParseCase{R"(/L:c:\x.log extra-word)", R"(l=c:\x.log; word=)"}, ParseCase{"x-y:z", "y=z"},
        ParseCase{"/:x /L:y", "l=y"}, ParseCase{R"(/:"a b" /L:y)", "l=y"}, ParseCase{"/ x", ""},
        ParseCase{"/", ""}, ParseCase{"", ""}));

class Consequence : public testing::TestWithParam<ParseCase> {};

TEST_P(Consequence, OfTheScanningRules) { EXPECT_EQ(TableOf(GetParam().text), GetParam().table); }

INSTANTIATE_TEST_SUITE_P(
    Table, Consequence,
    testing::Values(
        // The two whole command lines: a marker in the program path starts an option.
        ParseCase{R"("C:\a-b\tool.exe" /?)", R"(?=; b\tool.exe"=)"},
        ParseCase{R"("C:\Tools-L 1\tool.exe" /L:c:\x.log)", "l="},
        ParseCase{"/debug\t/L:x", "debug\t/l=x"},  // a tab is an ordinary character
        ParseCase{"/a/b", "a/b="}, ParseCase{"//x", "/x="},
        ParseCase{R"(/L:"a"junk-more /x)", "l=a; more=; x="},
        ParseCase{R"(/L:"a"junk /x)", "l=a; x="}, ParseCase{"/L:a:b", "l=a:b"},
        ParseCase{R"(/L:c:\a-b.log)", R"(l=c:\a-b.log)"},
        ParseCase{R"(/L:C:\X.LOG)", R"(l=C:\X.LOG)"}, ParseCase{"/x -", "x="},
        ParseCase{"/x /", "x="}, ParseCase{"/x:", "x="}, ParseCase{R"(/x:")", "x="},
        ParseCase{"/A /a:1 -A:2", "a="}, ParseCase{"/Debug -DEBUG:v /debug:w", "debug="},
        ParseCase{"no markers at all", ""}, ParseCase{"", ""}));

TEST(CommandLineParser, NullTextGivesAnEmptyTable) {
  EXPECT_EQ(TableOf(nullptr), "");
  EXPECT_FALSE(InspectableParser(nullptr, false).HasOption("l"));
}

TEST(CommandLineParser, QueriesFoldLikeStoredNames) {
  for (const char* text : {"/HELP", "-Help", "/help"}) {
    const CommandLineParser parser(text, false);
    for (const char* query : {"help", "HELP", "Help"}) {
      EXPECT_TRUE(parser.HasOption(query)) << text << " asked " << query;
    }
    EXPECT_FALSE(parser.HasOption("hel"));
  }
}

TEST(CommandLineParser, ValueIsNullWhenAbsentAndEmptyWithoutValue) {
  const CommandLineParser parser("/debug /L:C:\\X.LOG", false);
  EXPECT_EQ(parser.GetOptionValue("absent"), nullptr);
  ASSERT_NE(parser.GetOptionValue("debug"), nullptr);
  EXPECT_STREQ(parser.GetOptionValue("debug"), "");
  EXPECT_STREQ(parser.GetOptionValue("L"), "C:\\X.LOG");
}

TEST(CommandLineParser, MissingOrEmptyNameIsNeverPresent) {
  const CommandLineParser parser("/: /:x - /", false);
  EXPECT_FALSE(parser.HasOption(nullptr));
  EXPECT_FALSE(parser.HasOption(""));
  EXPECT_EQ(parser.GetOptionValue(nullptr), nullptr);
}

TEST(CommandLineParser, ParseReplacesTheTableAndNullKeepsIt) {
  InspectableParser parser("/a:1 /b", false);
  parser.Parse("/c:3");
  EXPECT_EQ(parser.Table(), "c=3");
  parser.Parse(nullptr);
  EXPECT_EQ(parser.Table(), "c=3");
  parser.Parse("");
  EXPECT_EQ(parser.Table(), "");
}

TEST(CommandLineParser, TextsAreCopiesOfTheCallersBuffer) {
  std::string text = "/L:c:\\x.log";
  const CommandLineParser parser(text.c_str(), false);
  text.assign(text.size(), 'z');
  EXPECT_STREQ(parser.GetOptionValue("l"), "c:\\x.log");
}

TEST(CommandLineParser, CaseSensitiveKeepsNamesAsGiven) {
  const InspectableParser parser("/L:x", true);
  EXPECT_TRUE(parser.HasOption("L"));
  EXPECT_FALSE(parser.HasOption("l"));
  EXPECT_EQ(parser.Table(), "L=x");
}

TEST(CommandLineParser, ManyOptionsAreAllKeptWithTheirFirstValues) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += " /o" + std::to_string(i) + ":" + std::to_string(i);
  for (int i = 0; i < 5000; ++i) text += " /O" + std::to_string(i) + ":later";
  const CommandLineParser parser(text.c_str(), false);
  for (int i = 0; i < 5000; ++i) {
    const std::string name = "O" + std::to_string(i);
    ASSERT_STREQ(parser.GetOptionValue(name.c_str()), std::to_string(i).c_str());
  }
}

}  // namespace
