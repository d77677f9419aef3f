// libFuzzer target for CommandLineParser. FUZZ_LOCALE (with LOCPATH) chooses the locale. Every
// input must give a table that holds together: non-empty names, names that folding leaves as
// they are and that the parser then finds, values that are pieces of the input, and the same
// answers when the text is parsed again or Parse(nullptr) is called.
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "options/narrow_encoding.h"
#include "options/parser_test_support.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

void CheckTable(const std::string& text, bool caseSensitive) {
  options_test::InspectableParser parser(text.c_str(), caseSensitive);
  const std::string table = parser.Table();
  for (const auto& [name, value] : parser.StoredOptions()) {
    Require(!name.empty(), "a stored name is empty");
    const std::string stored(name);
    if (!caseSensitive) {
      std::string folded;
      options::NarrowEncoding::Current().AppendFolded(stored.data(), stored.data() + stored.size(),
                                                      folded);
      Require(folded == stored, "folding a stored name changes it");
    }
    Require(parser.HasOption(stored.c_str()), "a stored name is not found");
    Require(std::string(parser.GetOptionValue(stored.c_str())) == value,
            "lookup gives another value");
    Require(text.find(value) != std::string::npos, "a value is not a piece of the input");
  }
  parser.Parse(nullptr);
  Require(parser.Table() == table, "Parse(nullptr) changed the table");
  parser.Parse(text.c_str());
  Require(parser.Table() == table, "parsing again gave another table");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* locale = std::getenv("FUZZ_LOCALE");
  if (locale && !std::setlocale(LC_ALL, locale)) {
    std::fprintf(stderr, "locale %s not found\n", locale);
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string untilNul(text.c_str());  // the parser sees a zero-terminated text
  CheckTable(untilNul, false);
  CheckTable(untilNul, true);
  return 0;
}
