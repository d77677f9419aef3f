#pragma once

// Helpers for the parser's tests: the whole table as text, and readable names for cases.
#include <string>

#include "options/command_line_parser.h"

namespace options_test {

// Sees the whole table, so that a case can say exactly what it holds.
class InspectableParser : public CommandLineParser {
 public:
  using CommandLineParser::CommandLineParser;
  using CommandLineParser::StoredOptions;

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

inline std::string TableOf(const char* text, bool caseSensitive = false) {
  return InspectableParser(text, caseSensitive).Table();
}

// Test names show the text with its bytes outside printable ASCII as \xNN.
inline std::string Escaped(const char* text) {
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

}  // namespace options_test
