#include "options/narrow_encoding.h"

namespace options {

void NarrowEncoding::AppendFolded(const char* begin, const char* end, std::string& out) const {
  // Written in place, as long as every character folds to one of the same length.
  std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(end - begin));
  for (const char* p = begin; p < end;) {
    const auto byte = static_cast<unsigned char>(*p);
    const std::size_t length = CharacterLength(p, end);
    if (length == 1) {
      out[at++] = static_cast<char>(lowerSingleByte_[byte]);
      ++p;
      continue;
    }
    char folded[kLongestFolded];
    const std::size_t foldedLength = FoldMultibyte(p, length, folded);
    p += length;
    if (foldedLength != length) out.resize(at + foldedLength + static_cast<std::size_t>(end - p));
    for (std::size_t i = 0; i < foldedLength; ++i) out[at++] = folded[i];
  }
  out.resize(at);
}

}  // namespace options
