#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>

#include "options/narrow_encoding.h"
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

namespace {

// UTF-8 is decoded by the parser itself; it must step and fold exactly as the C library's
// mbrtowc, towlower and wcrtomb do, for every sequence of up to three bytes and every
// four-byte sequence that starts with a possible lead byte.
class Utf8AsTheCLibraryHasIt : public testing::Test {
 protected:
  void SetUp() override {
    setenv("LOCPATH", TEST_LOCPATH, 1);
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }

  static std::size_t LibraryLength(const char* p, std::size_t available) {
    std::mbstate_t state{};
    wchar_t wide;
    const std::size_t result = std::mbrtowc(&wide, p, available, &state);
    return result == 0 || result > available ? 1 : result;
  }

  static std::string LibraryFolded(const char* p, std::size_t length) {
    if (length == 1) return std::string(p, 1);
    std::mbstate_t state{};
    wchar_t wide;
    std::mbrtowc(&wide, p, length, &state);
    char lowered[MB_LEN_MAX];
    std::mbstate_t out{};
    const std::size_t n = std::wcrtomb(lowered, static_cast<wchar_t>(std::towlower(wide)), &out);
    return n == static_cast<std::size_t>(-1) ? std::string(p, length) : std::string(lowered, n);
  }

  void Check(const char* bytes, std::size_t size, int& mismatches) {
    const auto& encoding = options::NarrowEncoding::Current();
    const std::size_t length = encoding.CharacterLength(bytes, bytes + size);
    std::string folded;
    encoding.AppendFolded(bytes, bytes + length, folded);
    const std::size_t expected = LibraryLength(bytes, size);
    if (length != expected || (length > 1 && folded != LibraryFolded(bytes, length))) {
      if (++mismatches < 10)
        ADD_FAILURE() << "differs at " << Escaped(std::string(bytes, size).c_str());
    }
  }
};

TEST_F(Utf8AsTheCLibraryHasIt, ForEverySequence) {
  int mismatches = 0;
  char bytes[4];
  for (int a = 0x80; a < 0x100; ++a) {
    bytes[0] = static_cast<char>(a);
    Check(bytes, 1, mismatches);
    for (int b = 1; b < 0x100; ++b) {
      bytes[1] = static_cast<char>(b);
      Check(bytes, 2, mismatches);
      if (a < 0xE0 || a > 0xF4) continue;
      for (int c = 1; c < 0x100; ++c) {
        bytes[2] = static_cast<char>(c);
        Check(bytes, 3, mismatches);
        if (a < 0xF0 || (c & 0xC0) != 0x80) continue;
        for (int d : {0x01, 0x41, 0x7F, 0x80, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF}) {
          bytes[3] = static_cast<char>(d);
          Check(bytes, 4, mismatches);
        }
      }
    }
  }
  for (const char* longer : {"\xF8\x88\x80\x80\x80", "\xF8\x87\xBF\xBF\xBF", "\xFB\xBF\xBF\xBF\xBF",
                             "\xFC\x84\x80\x80\x80\x80", "\xFC\x83\x80\x80\x80\x80",
                             "\xFD\xBF\xBF\xBF\xBF\xBF", "\xFE\x80", "\xFF"}) {
    Check(longer, std::strlen(longer), mismatches);
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
