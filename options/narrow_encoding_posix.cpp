#include <langinfo.h>

#include <cctype>
#include <climits>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <string>

#include "options/narrow_encoding.h"

namespace options {

NarrowEncoding::NarrowEncoding() {
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
  thread_local std::string cachedKey;
  thread_local std::unique_ptr<NarrowEncoding> cached;
  const char* name = std::setlocale(LC_CTYPE, nullptr);
  std::string key = name ? name : "";
  key += '\n';
  key += nl_langinfo(CODESET);
  if (!cached || key != cachedKey) {
    cached.reset(new NarrowEncoding());
    cachedKey = std::move(key);
  }
  return *cached;
}

std::size_t NarrowEncoding::MultibyteLength(const char* p, const char* end) const {
  std::mbstate_t state{};
  wchar_t wide;
  const std::size_t available = static_cast<std::size_t>(end - p);
  const std::size_t result = std::mbrtowc(&wide, p, available, &state);
  if (result == 0 || result > available) return 1;  // invalid or cut off: one byte alone
  return result;
}

void NarrowEncoding::AppendFoldedMultibyte(const char* p, std::size_t length,
                                           std::string& out) const {
  std::mbstate_t state{};
  wchar_t wide;
  std::mbrtowc(&wide, p, length, &state);
  char lowered[MB_LEN_MAX];
  std::mbstate_t outState{};
  const std::size_t loweredLength = std::wcrtomb(
      lowered, static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wide))), &outState);
  if (loweredLength == static_cast<std::size_t>(-1)) {
    out.append(p, length);  // the lower-case form has no encoding here: keep the character
  } else {
    out.append(lowered, loweredLength);
  }
}

}  // namespace options
