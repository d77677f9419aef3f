#include <langinfo.h>

#include <cctype>
#include <climits>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <string>

#include "options/narrow_encoding.h"

namespace options {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the UTF-8 character at p, or 0 when p starts none, as the C library's UTF-8
// decoder has it: the shortest form only and no surrogates, but forms of up to six bytes.
std::size_t Utf8Length(const unsigned char* p, std::size_t available) {
  const unsigned char lead = p[0];
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF7) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
  } else if (lead >= 0xF8 && lead <= 0xFB) {
    length = 5;
    if (lead == 0xF8) low = 0x88;
  } else if (lead == 0xFC || lead == 0xFD) {
    length = 6;
    if (lead == 0xFC) low = 0x84;
  } else {
    return 0;
  }
  if (available < length || p[1] < low || p[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuation(p[i])) return 0;
  }
  return length;
}

std::uint32_t DecodeUtf8(const unsigned char* p, std::size_t length) {
  std::uint32_t code = p[0] & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (p[i] & 0x3F);
  return code;
}

// Encodes a Unicode character (what lower-case mappings give).
std::size_t EncodeUtf8(std::uint32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

}  // namespace

NarrowEncoding::NarrowEncoding() {
  utf8_ = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
  for (int byte = 0; byte < 256; ++byte) {
    const char single = static_cast<char>(byte);
    std::mbstate_t state{};
    wchar_t wide;
    const std::size_t result = std::mbrtowc(&wide, &single, 1, &state);
    mayStartMultibyte_[byte] = result == static_cast<std::size_t>(-2);
    if (byte < 0x80) {
      lowerSingleByte_[byte] =
          static_cast<unsigned char>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
    } else if (mayStartMultibyte_[byte]) {
      lowerSingleByte_[byte] = static_cast<unsigned char>(byte);
    } else {
      lowerSingleByte_[byte] = static_cast<unsigned char>(std::tolower(byte));
    }
  }
}

// The tables depend on the LC_CTYPE locale, which a program may change at any time; they are
// rebuilt only when its name or its character set changes, since building them costs far more
// than scanning a typical command line.
const NarrowEncoding& NarrowEncoding::Current() {
  thread_local std::string cachedName;
  thread_local std::string cachedCodeset;
  thread_local std::unique_ptr<NarrowEncoding> cached;
  const char* name = std::setlocale(LC_CTYPE, nullptr);
  if (name == nullptr) name = "";
  const char* codeset = nl_langinfo(CODESET);
  if (!cached || cachedName != name || cachedCodeset != codeset) {
    cached.reset(new NarrowEncoding());
    cachedName = name;
    cachedCodeset = codeset;
  }
  return *cached;
}

std::size_t NarrowEncoding::MultibyteLength(const char* p, const char* end) const {
  const std::size_t available = static_cast<std::size_t>(end - p);
  if (utf8_) {
    const std::size_t length = Utf8Length(reinterpret_cast<const unsigned char*>(p), available);
    return length == 0 ? 1 : length;
  }
  std::mbstate_t state{};
  wchar_t wide;
  const std::size_t result = std::mbrtowc(&wide, p, available, &state);
  if (result == 0 || result > available) return 1;  // invalid or cut off: one byte alone
  return result;
}

std::size_t NarrowEncoding::FoldMultibyte(const char* p, std::size_t length, char* out) const {
  if (utf8_) {
    const std::uint32_t code = DecodeUtf8(reinterpret_cast<const unsigned char*>(p), length);
    CachedLower& cached = lowerCache_[code & 0xFF];
    if (cached.code != code) {
      cached = {code, static_cast<std::uint32_t>(std::towlower(static_cast<wint_t>(code)))};
    }
    if (cached.lower == code || cached.lower > 0x10FFFF) {
      std::memcpy(out, p, length);  // no lower case: the character as it stands
      return length;
    }
    return EncodeUtf8(cached.lower, out);
  }
  std::mbstate_t state{};
  wchar_t wide;
  std::mbrtowc(&wide, p, length, &state);
  std::mbstate_t outState{};
  const std::size_t loweredLength =
      std::wcrtomb(out, static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wide))), &outState);
  if (loweredLength == static_cast<std::size_t>(-1)) {
    std::memcpy(out, p, length);  // the lower-case form has no encoding here: keep the character
    return length;
  }
  return loweredLength;
}

}  // namespace options
