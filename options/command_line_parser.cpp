#include "options/command_line_parser.h"

#include <cstdint>
#include <cstring>

#include "options/narrow_encoding.h"

namespace {

// The syntax characters are all ASCII, so one table tells whether a byte is one of them.
enum SyntaxClass : std::uint8_t { kMarker = 1, kSpace = 2, kColon = 4, kQuote = 8 };
constexpr std::uint8_t kSeparator = kSpace | kColon;

struct SyntaxTable {
  std::uint8_t classOf[256] = {};
  constexpr SyntaxTable() {
    classOf[static_cast<unsigned char>('-')] = kMarker;
    classOf[static_cast<unsigned char>('/')] = kMarker;
    classOf[static_cast<unsigned char>(' ')] = kSpace;
    classOf[static_cast<unsigned char>(':')] = kColon;
    classOf[static_cast<unsigned char>('"')] = kQuote;
  }
};
constexpr SyntaxTable kSyntax;

// Folds a name that is all ASCII, as every encoding folds it (A to Z only), into out; false,
// with out unusable, when the name holds any other byte.
constexpr std::size_t kShortName = 64;
bool FoldAscii(const char* name, std::size_t length, char* out) {
  unsigned char seen = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    seen |= byte;
    out[i] = static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
  }
  return seen < 0x80;
}

class Scanner {
 public:
  Scanner(const options::NarrowEncoding& encoding, bool caseSensitive, options::OptionTable& table)
      : encoding_(encoding), caseSensitive_(caseSensitive), table_(table) {}

  void Scan(const char* text, const char* end);

 private:
  // The first character at or after p of one of the wanted classes, or end. Past the first
  // few, eight bytes at a time are passed over while none is wanted or starts a multibyte
  // character.
  template <std::uint8_t kWanted>
  const char* Find(const char* p, const char* end) const {
    for (;;) {
      // Byte by byte first: what is wanted is mostly near.
      for (const char* stop = end - p >= 8 ? p + 8 : end; p < stop;) {
        const auto byte = static_cast<unsigned char>(*p);
        if (kSyntax.classOf[byte] & kWanted) return p;
        p += encoding_.CharacterLength(p, end);
      }
      if (p >= end) return end;
      while (end - p >= 8 && !MayMatter<kWanted>(p)) p += 8;
    }
  }

  // Whether any of the eight bytes at p is a wanted one or not ASCII.
  template <std::uint8_t kWanted>
  static bool MayMatter(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    std::uint64_t found = word & kHighBits;
    if (kWanted & kMarker) found |= HasByte(word, '-') | HasByte(word, '/');
    if (kWanted & kSpace) found |= HasByte(word, ' ');
    if (kWanted & kColon) found |= HasByte(word, ':');
    if (kWanted & kQuote) found |= HasByte(word, '"');
    return found != 0;
  }

  static constexpr std::uint64_t kLowBits = 0x0101010101010101ull;
  static constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  // Non-zero when a byte of word equals value (exact for ASCII words; else a superset).
  static std::uint64_t HasByte(std::uint64_t word, unsigned char value) {
    const std::uint64_t differs = word ^ (kLowBits * value);
    return (differs - kLowBits) & ~differs & kHighBits;
  }

  void Add(const char* name, const char* nameEnd, const char* value, const char* valueEnd);

  const options::NarrowEncoding& encoding_;
  bool caseSensitive_;
  options::OptionTable& table_;
  std::string folded_;
};

void Scanner::Add(const char* name, const char* nameEnd, const char* value, const char* valueEnd) {
  if (name == nameEnd) return;  // an empty name adds nothing
  const auto nameLength = static_cast<std::size_t>(nameEnd - name);
  std::string_view storedName(name, nameLength);
  char asciiFolded[kShortName];
  if (!caseSensitive_) {
    if (nameLength <= kShortName && FoldAscii(name, nameLength, asciiFolded)) {
      storedName = std::string_view(asciiFolded, nameLength);
    } else {
      folded_.clear();
      encoding_.AppendFolded(name, nameEnd, folded_);
      storedName = folded_;
    }
  }
  table_.AddIfAbsent(storedName,
                     std::string_view(value, static_cast<std::size_t>(valueEnd - value)));
}

void Scanner::Scan(const char* cursor, const char* end) {
  while (cursor < end) {
    const char* marker = Find<kMarker>(cursor, end);
    if (marker == end) return;
    const char* name = marker + 1;  // markers are single bytes
    if (name == end) return;
    const char* separator = Find<kSeparator>(name, end);
    if (separator == end) {
      Add(name, end, end, end);
      return;
    }
    if (*separator == ' ' || separator + 1 == end) {
      Add(name, separator, separator, separator);
      cursor = separator + 1;
      continue;
    }
    const char* value = separator + 1;
    const char* valueEnd;
    if (*value == '"') {
      ++value;
      valueEnd = Find<kQuote>(value, end);
    } else {
      valueEnd = Find<kSpace>(value, end);
    }
    Add(name, separator, value, valueEnd);
    if (valueEnd == end) return;  // an unclosed quote or the last word takes the rest
    cursor = valueEnd + 1;
  }
}

}  // namespace

CommandLineParser::CommandLineParser(const char* text, bool caseSensitive)
    : caseSensitive_(caseSensitive) {
  Parse(text);
}

CommandLineParser::~CommandLineParser() = default;

void CommandLineParser::Parse(const char* text) {
  if (text == nullptr) return;
  const std::size_t length = std::strlen(text);
  table_.Clear(length);
  Scanner(options::NarrowEncoding::Current(), caseSensitive_, table_).Scan(text, text + length);
}

std::string_view CommandLineParser::FoldedForLookup(const char* name, std::string& buffer) const {
  const std::string_view asGiven(name ? name : "");
  if (caseSensitive_) return asGiven;
  const options::NarrowEncoding& encoding = options::NarrowEncoding::Current();
  bool mayFold = false;
  for (unsigned char byte : asGiven) mayFold = mayFold || encoding.MayFold(byte);
  if (!mayFold) return asGiven;
  encoding.AppendFolded(asGiven.data(), asGiven.data() + asGiven.size(), buffer);
  return buffer;
}

bool CommandLineParser::HasOption(const char* name) const {
  return GetOptionValue(name) != nullptr;
}

const char* CommandLineParser::GetOptionValue(const char* name) const {
  std::string buffer;
  return table_.Find(FoldedForLookup(name, buffer));
}

std::vector<std::pair<std::string_view, std::string_view>> CommandLineParser::StoredOptions()
    const {
  return table_.Sorted();
}
