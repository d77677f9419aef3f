#include "options/narrow_encoding.h"

namespace options {

void NarrowEncoding::AppendFolded(const char* begin, const char* end, std::string& out) const {
  out.reserve(out.size() + static_cast<std::size_t>(end - begin));
  for (const char* p = begin; p < end;) {
    const std::size_t length = CharacterLength(p, end);
    if (length == 1) {
      out.push_back(static_cast<char>(lowerSingleByte_[static_cast<unsigned char>(*p)]));
    } else {
      AppendFoldedMultibyte(p, length, out);
    }
    p += length;
  }
}

}  // namespace options
