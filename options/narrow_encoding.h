#pragma once

#include <cstddef>
#include <string>

namespace options {

// How the process's narrow encoding splits text into characters and folds them to lower case:
// the current LC_CTYPE locale on POSIX, the ANSI code page on Windows. Bytes below 0x80 are
// single characters in every encoding either platform offers, and ASCII letters fold as A to Z
// do, so those take a fast path; the rest goes through per-byte tables and the platform.
class NarrowEncoding {
 public:
  // The encoding in effect now for the calling thread.
  static const NarrowEncoding& Current();

  // Byte length of the character that starts at p, at least 1 and at most end - p. A byte that
  // starts no valid character is one character by itself.
  std::size_t CharacterLength(const char* p, const char* end) const {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x80 || !mayStartMultibyte_[byte]) return 1;
    // The commonest multibyte character of all, a two-byte UTF-8 one, without a call.
    if (utf8_ && byte >= 0xC2 && byte <= 0xDF && end - p >= 2 &&
        (static_cast<unsigned char>(p[1]) & 0xC0) == 0x80) {
      return 2;
    }
    return MultibyteLength(p, end);
  }

  // Appends the lower-case form of the characters in [begin, end) to out.
  void AppendFolded(const char* begin, const char* end, std::string& out) const;

 private:
  NarrowEncoding();  // reads the platform's current encoding into the tables

  static constexpr std::size_t kLongestFolded = 16;  // bytes, in every encoding either has

  std::size_t MultibyteLength(const char* p, const char* end) const;
  // Writes the lower-case form of the multibyte character at p into out; returns its length.
  std::size_t FoldMultibyte(const char* p, std::size_t length, char* out) const;

  bool mayStartMultibyte_[256];
  unsigned char lowerSingleByte_[256];
  bool utf8_ = false;  // the character set is UTF-8, decoded here rather than by the platform
  // POSIX, UTF-8: recent lower-case mappings, since names repeat their characters.
  struct CachedLower {
    unsigned int code = 0;
    unsigned int lower = 0;
  };
  mutable CachedLower lowerCache_[256];
};

}  // namespace options
