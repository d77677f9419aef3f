#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "options/option_table.h"

// Scans one whole command-line text (program path first, then the arguments as typed) into a
// table of options. An option is a marker (- or /), a name, and optionally a colon and a value;
// a value may be enclosed in double quotes. The text is stepped through per character of the
// process's narrow encoding, so a byte inside a multibyte character is never taken for a marker,
// separator or quote.
class CommandLineParser {
 public:
  // text may be nullptr: the table starts empty. With caseSensitive false, option names are
  // folded to lower case when stored and when looked up.
  CommandLineParser(const char* text, bool caseSensitive);
  virtual ~CommandLineParser();

  // Replaces the table with the options in text; nullptr keeps the table as it is.
  void Parse(const char* text);

  // name may be nullptr: the empty name, which is never in the table.
  bool HasOption(const char* name) const;

  // nullptr when the option is absent, "" when it was given without a value. The text belongs
  // to the table and stays valid until the next Parse or the parser's destruction.
  const char* GetOptionValue(const char* name) const;

 protected:
  // Every stored option as (name, value), ordered by name; for code that inspects the table.
  std::vector<std::pair<std::string_view, std::string_view>> StoredOptions() const;

 private:
  bool caseSensitive_;
  options::OptionTable table_;
};
