#include "options/command_line_parser.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

// Sees the whole table, so that a case can say exactly what it holds.
class InspectableParser : public CommandLineParser {
 public:
  using CommandLineParser::CommandLineParser;

  // "name=value; name=value", ordered by name.
  std::string Table() const {
    std::string described;
    for (const auto& [name, value] : StoredOptions()) {
      if (!described.empty()) described += "; ";
      described.append(name).append("=").append(value);
    }
    return described;
  }
};

std::string TableOf(const char* text, bool caseSensitive = false) {
  return InspectableParser(text, caseSensitive).Table();
}

struct ParseCase {
  const char* text;
  const char* table;
};

// Test names show the text with its bytes outside printable ASCII as \xNN.
std::string Escaped(const char* text) {
  std::string escaped;
  for (const char* p = text; *p; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte > 0x20 && byte < 0x7f) {
      escaped += *p;
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      escaped.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
    }
  }
  return escaped;
}

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

// Cases in real locales, compiled by the build into a private LOCPATH.
struct LocaleCase {
  const char* locale;
  const char* text;
  const char* table;
};

void PrintTo(const LocaleCase& c, std::ostream* os) {
  *os << c.locale << " [" << Escaped(c.text) << "]";
}

class InLocale : public testing::TestWithParam<LocaleCase> {
 protected:
  void SetUp() override {
    setenv("LOCPATH", TEST_LOCPATH, 1);
    ASSERT_NE(std::setlocale(LC_ALL, GetParam().locale), nullptr)
        << GetParam().locale << " not found in " << TEST_LOCPATH;
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_P(InLocale, StepsAndFoldsPerCharacter) {
  EXPECT_EQ(TableOf(GetParam().text), GetParam().table);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InLocale,
    testing::Values(
        // A GBK character whose trail byte is an ASCII capital stays as it is...
        LocaleCase{"zh_CN.GBK", "/\x81\x41:v", "\x81\x41=v"},
        // ...while where 0x81 is a byte by itself, the A after it is a letter of its own.
        LocaleCase{"C.UTF-8", "/\x81\x41:v",
                   "\x81"
                   "a=v"},
        LocaleCase{"de_DE.ISO-8859-1", "/\x81\x41:v",
                   "\x81"
                   "a=v"},
        LocaleCase{"zh_CN.GBK", "/\xA3\xC1:v", "\xA3\xE1=v"},  // fullwidth A to a
        LocaleCase{"zh_CN.GBK", "/X\x81", "x\x81="},           // lead byte as the last byte
        LocaleCase{"zh_CN.GBK", "/\x81 /Y", "y=; \x81="},      // lead byte before a space
        LocaleCase{"C.UTF-8", "/\xC3\x84:\xC3\x84", "\xC3\xA4=\xC3\x84"},  // A-umlaut
        LocaleCase{"C.UTF-8", "/\xC4:v", "\xC4=v"},  // a lone lead byte is not a letter
        LocaleCase{"C.UTF-8", "/\xEF\xBC\xA1", "\xEF\xBD\x81="},    // fullwidth A to a
        LocaleCase{"de_DE.ISO-8859-1", "/\xC4:\xC4", "\xE4=\xC4"},  // A-umlaut
        LocaleCase{"de_DE.ISO-8859-1", "/\xC3\x84", "\xE3\x84="}));

TEST_P(InLocale, CaseSensitiveParserFindsLButNotl) {
  const CommandLineParser parser("/L:x", true);
  EXPECT_TRUE(parser.HasOption("L"));
  EXPECT_FALSE(parser.HasOption("l"));
}

TEST(InLocaleQueries, FoldMultibyteNames) {
  setenv("LOCPATH", TEST_LOCPATH, 1);
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  const CommandLineParser utf8("/\xC3\xA4:1", false);
  EXPECT_STREQ(utf8.GetOptionValue("\xC3\x84"), "1");
  ASSERT_NE(std::setlocale(LC_ALL, "zh_CN.GBK"), nullptr);
  const CommandLineParser gbk("/\xA3\xE1:2 /\x81\x61:3", false);
  EXPECT_STREQ(gbk.GetOptionValue("\xA3\xC1"), "2");
  EXPECT_EQ(gbk.GetOptionValue("\x81\x41"), nullptr);
  EXPECT_STREQ(gbk.GetOptionValue("\x81\x61"), "3");
  std::setlocale(LC_ALL, "C");
}

}  // namespace
