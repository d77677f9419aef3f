#include <windows.h>

#include <string>

#include "options/narrow_encoding.h"

namespace options {

NarrowEncoding::NarrowEncoding() {
  for (int byte = 0; byte < 256; ++byte) {
    mayStartMultibyte_[byte] = byte >= 0x80 && IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(byte));
    char single = static_cast<char>(byte);
    if (byte >= 'A' && byte <= 'Z') {
      single = static_cast<char>(byte - 'A' + 'a');
    } else if (byte >= 0x80 && !mayStartMultibyte_[byte]) {
      CharLowerBuffA(&single, 1);
    }
    lowerSingleByte_[byte] = static_cast<unsigned char>(single);
  }
}

// The ANSI code page is fixed for the life of the process, so the tables are built once.
const NarrowEncoding& NarrowEncoding::Current() {
  static const NarrowEncoding encoding;
  return encoding;
}

std::size_t NarrowEncoding::MultibyteLength(const char* p, const char* end) const {
  return end - p >= 2 ? 2 : 1;  // a lead byte at the very end stands alone
}

std::size_t NarrowEncoding::FoldMultibyte(const char* p, std::size_t length, char* out) const {
  out[0] = p[0];
  out[1] = p[1];
  // A pair that is no character of the code page keeps its bytes: the conversion behind
  // CharLowerBuffA would replace them with a default character.
  wchar_t wide;
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, p, static_cast<int>(length), &wide, 1) ==
      1) {
    char lowered[2] = {p[0], p[1]};
    if (CharLowerBuffA(lowered, static_cast<DWORD>(length)) == length) {
      out[0] = lowered[0];
      out[1] = lowered[1];
    }
  }
  return length;
}

}  // namespace options
