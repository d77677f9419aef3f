#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "options/parser_test_support.h"

namespace {

using options_test::Escaped;
using options_test::TableOf;

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
