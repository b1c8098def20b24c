#include <cstring>

#include "libraries/vantilcore/utf8_codec.h"
#include "vantilcore/string.h"

namespace vantilcore::string {
namespace {

UTF16String DecodeAll(const unsigned char* text, std::size_t size, int* error,
                      std::size_t* position) {
  if (error) *error = 0;
  if (position) *position = 0;
  UTF16String result;
  result.reserve(size);
  bool reported = false;
  for (std::size_t i = 0; i < size;) {
    const detail::Decoded decoded = detail::DecodeUtf8(text + i, size - i);
    if (decoded.error != 0 && !reported) {
      reported = true;
      if (error) *error = decoded.error;
      if (position) *position = i;
    }
    detail::AppendUtf16(result, decoded.codePoint);
    i += decoded.length;
  }
  return result;
}

void AppendUtf8(UTF8String& out, char32_t codePoint) {
  auto put = [&out](char32_t byte) { out.push_back(static_cast<unsigned char>(byte)); };
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

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

UTF16String AsciiToUTF16(const char* text, std::size_t length) {
  UTF16String result;
  if (text == nullptr) return result;
  result.reserve(length);
  for (std::size_t i = 0; i < length; ++i)
    result.push_back(static_cast<char16_t>(static_cast<unsigned char>(text[i])));
  return result;
}

UTF16String StdToUTF16String(const char* text) {
  if (text == nullptr) return {};
  return DecodeAll(reinterpret_cast<const unsigned char*>(text), std::strlen(text), nullptr,
                   nullptr);
}

UTF16String UTF8to16(const UTF8String& text, int* error, std::size_t* position) {
  return DecodeAll(text.data(), text.size(), error, position);
}

UTF8String UTF16to8(const UTF16String& text) {
  UTF8String result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(result, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(result, detail::kReplacement);
    } else {
      AppendUtf8(result, unit);
    }
  }
  return result;
}

UTF16String WcharToUTF16(const char16_t* text) {
  if (text == nullptr) return {};
  return UTF16String(text);
}

#if defined(_WIN32)
UTF16String WcharToUTF16(const wchar_t* text) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return WcharToUTF16(reinterpret_cast<const char16_t*>(text));
}
#endif

}  // namespace vantilcore::string
