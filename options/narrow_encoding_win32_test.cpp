// Stepping and folding in the ANSI code page. Wine takes the code page from LC_ALL; each run of
// this test names the code page it expects, and the cases of that code page are checked.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "options/parser_test_support.h"

namespace {

using options_test::Escaped;
using options_test::TableOf;

struct CodePageCase {
  unsigned codePage;
  const char* text;
  const char* table;
};

const CodePageCase kCases[] = {
    {1252, "/\xC4:\xC4", "\xE4=\xC4"},  // A-umlaut
    {1252, "/\x81\x41:v",
     "\x81"
     "a=v"},
    {1252, "/\xC0\xDE", "\xE0\xFE="},
    // A double-byte character whose trail byte is an ASCII capital stays as it is...
    {932, "/\x81\x41:v", "\x81\x41=v"},
    {936, "/\x81\x41:v", "\x81\x41=v"},
    {949, "/\x81\x41:v", "\x81\x41=v"},
    // ...and a trail byte is never a separator.
    {932, "/\x81 /Y", "\x81 /y="},
    {936, "/\x81:/Y", "\x81:/y="},
    // Fullwidth letters fold.
    {932, "/\x82\x60:v", "\x82\x81=v"},
    {936, "/\xA3\xC1:v", "\xA3\xE1=v"},
    {949, "/\xA3\xC1:v", "\xA3\xE1=v"},
    {936, "/X\x81", "x\x81="},  // a lead byte as the last byte stands alone
};

TEST(AnsiCodePage, StepsAndFoldsPerCharacter) {
  const char* expected = std::getenv("EXPECTED_ANSI_CODE_PAGE");
  ASSERT_NE(expected, nullptr);
  ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
  int checked = 0;
  for (const CodePageCase& c : kCases) {
    if (c.codePage != GetACP()) continue;
    EXPECT_EQ(TableOf(c.text), c.table) << Escaped(c.text);
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

TEST(AnsiCodePage, CaseSensitiveParserFindsLButNotl) {
  const CommandLineParser parser("/L:x", true);
  EXPECT_TRUE(parser.HasOption("L"));
  EXPECT_FALSE(parser.HasOption("l"));
}

}  // namespace
