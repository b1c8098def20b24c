#pragma once

#include <cstddef>
#include <cstdint>

namespace vantilcore::string::detail {

inline constexpr char32_t kReplacement = 0xFFFD;
inline constexpr int kUtf8Invalid = 1;    // bad lead byte, overlong, surrogate or > U+10FFFF
inline constexpr int kUtf8Truncated = 2;  // the text ends inside a sequence

struct Decoded {
  char32_t codePoint;  // kReplacement when error != 0
  std::size_t length;  // bytes consumed: the maximal ill-formed subpart on error
  int error;
};

// Decodes one scalar value at text[0..size); size > 0.
Decoded DecodeUtf8(const unsigned char* text, std::size_t size);

template <class Out>
void AppendUtf16(Out& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

}  // namespace vantilcore::string::detail
