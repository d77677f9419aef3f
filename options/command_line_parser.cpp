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
bool FoldAscii(std::string_view name, char* out) {
  unsigned char seen = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    seen |= byte;
    out[i] = static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
  }
  return seen < 0x80;
}

// Where a folded name is written: short ASCII names, the most of them, into the fixed buffer;
// the rest, by the encoding's rules, into the string.
struct FoldBuffers {
  static constexpr std::size_t kShortName = 64;
  char shortName[kShortName];
  std::string longName;
};

std::string_view FoldedName(std::string_view name, const options::NarrowEncoding& encoding,
                            FoldBuffers& buffers) {
  if (name.size() <= FoldBuffers::kShortName && FoldAscii(name, buffers.shortName)) {
    return std::string_view(buffers.shortName, name.size());
  }
  buffers.longName.clear();
  encoding.AppendFolded(name.data(), name.data() + name.size(), buffers.longName);
  return buffers.longName;
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
  FoldBuffers folded_;
};

void Scanner::Add(const char* name, const char* nameEnd, const char* value, const char* valueEnd) {
  if (name == nameEnd) return;  // an empty name adds nothing
  std::string_view storedName(name, static_cast<std::size_t>(nameEnd - name));
  if (!caseSensitive_) storedName = FoldedName(storedName, encoding_, folded_);
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

bool CommandLineParser::HasOption(const char* name) const {
  return GetOptionValue(name) != nullptr;
}

const char* CommandLineParser::GetOptionValue(const char* name) const {
  const std::string_view asGiven(name ? name : "");
  if (caseSensitive_) return table_.Find(asGiven);
  FoldBuffers buffers;
  return table_.Find(FoldedName(asGiven, options::NarrowEncoding::Current(), buffers));
}

std::vector<std::pair<std::string_view, std::string_view>> CommandLineParser::StoredOptions()
    const {
  return table_.Sorted();
}
