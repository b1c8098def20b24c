#pragma once

// The one UTF-8 / UTF-16 codec of the code base. An ill-formed sequence is
// replaced by U+FFFD per maximal ill-formed subpart, as Windows' own
// conversions do; the code page functions of code_page.h build on it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/export.h"

namespace platform {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

enum class Utf8Status : std::uint8_t {
  kValid,
  kInvalid,    // bad lead byte, overlong, surrogate or past U+10FFFF
  kTruncated,  // the text ends inside a sequence
};

struct Utf8Decoded {
  char32_t codePoint;  // kReplacementCharacter unless valid
  std::size_t length;  // bytes taken: the sequence, or its maximal ill-formed subpart
  Utf8Status status;
};

// One scalar value from bytes[0..available); available > 0. Inline, as every
// conversion runs it once a character.
inline Utf8Decoded DecodeUtf8(const unsigned char* bytes, std::size_t available) {
  // The range the second byte must be in keeps out overlongs, surrogates
  // and values past U+10FFFF.
  const unsigned char lead = bytes[0];
  if (lead < 0x80) return {lead, 1, Utf8Status::kValid};
  std::size_t length = 0;
  unsigned char secondLow = 0x80;
  unsigned char secondHigh = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;
  } else {
    return {kReplacementCharacter, 1, Utf8Status::kInvalid};
  }
  char32_t codePoint = lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if (i >= available) return {kReplacementCharacter, i, Utf8Status::kTruncated};
    const unsigned char low = i == 1 ? secondLow : 0x80;
    const unsigned char high = i == 1 ? secondHigh : 0xBF;
    if (bytes[i] < low || bytes[i] > high) return {kReplacementCharacter, i, Utf8Status::kInvalid};
    codePoint = (codePoint << 6) | (bytes[i] & 0x3Fu);
  }
  return {codePoint, length, Utf8Status::kValid};
}

// One scalar value from units[0..available); available > 0. A lone
// surrogate comes back as itself with valid false.
struct Utf16Decoded {
  char32_t codePoint;
  std::size_t length;
  bool valid;
};
inline Utf16Decoded DecodeUtf16(const char16_t* units, std::size_t available) {
  const char16_t unit = units[0];
  const bool high = unit >= 0xD800 && unit <= 0xDBFF;
  const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
  if (high && available > 1 && units[1] >= 0xDC00 && units[1] <= 0xDFFF) {
    return {0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{units[1]} - 0xDC00), 2, true};
  }
  return {unit, 1, !high && !low};
}

// Appends a scalar value to any container of 16-bit or 8-bit units.
template <class Out>
void AppendUtf16(Out& out, char32_t codePoint) {
  using Unit = typename Out::value_type;
  if (codePoint < 0x10000) {
    out.push_back(static_cast<Unit>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out.push_back(static_cast<Unit>(0xD800 + (codePoint >> 10)));
  out.push_back(static_cast<Unit>(0xDC00 + (codePoint & 0x3FF)));
}

template <class Out>
void AppendUtf8(Out& out, char32_t codePoint) {
  using Unit = typename Out::value_type;
  const auto put = [&out](char32_t byte) { out.push_back(static_cast<Unit>(byte)); };
  if (codePoint < 0x80) {
    put(codePoint);
  } else if (codePoint < 0x800) {
    put(0xC0 | (codePoint >> 6));
    put(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    put(0xE0 | (codePoint >> 12));
    put(0x80 | ((codePoint >> 6) & 0x3F));
    put(0x80 | (codePoint & 0x3F));
  } else {
    put(0xF0 | (codePoint >> 18));
    put(0x80 | ((codePoint >> 12) & 0x3F));
    put(0x80 | ((codePoint >> 6) & 0x3F));
    put(0x80 | (codePoint & 0x3F));
  }
}

// Lossy conversions for file names and texts.
PLATFORM_API std::u16string Utf8ToUtf16(std::string_view text);
PLATFORM_API std::string Utf16ToUtf8(std::u16string_view text);

// The length of text without the unfinished sequence it may end in, which
// the next piece of a stream completes; for text cut at any byte.
PLATFORM_API std::size_t CompleteUtf8Length(std::string_view text);

// Whether the text is well-formed UTF-8 from end to end.
PLATFORM_API bool IsWellFormedUtf8(std::string_view text);

}  // namespace platform
