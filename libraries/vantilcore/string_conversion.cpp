#include <cstring>

#include "platform/utf_common.h"
#include "vantilcore/string.h"

namespace vantilcore::string {
namespace {

constexpr int kUtf8Invalid = 1;
constexpr int kUtf8Truncated = 2;

// The whole text, ill-formed parts as U+FFFD; the first one is reported.
UTF16String DecodeAll(const unsigned char* text, std::size_t size, int* error,
                      std::size_t* position) {
  if (error) *error = 0;
  if (position) *position = 0;
  UTF16String result;
  result.reserve(size);
  bool reported = false;
  for (std::size_t i = 0; i < size;) {
    const platform::Utf8Decoded decoded = platform::DecodeUtf8(text + i, size - i);
    if (decoded.status != platform::Utf8Status::kValid && !reported) {
      reported = true;
      if (error)
        *error = decoded.status == platform::Utf8Status::kTruncated ? kUtf8Truncated : kUtf8Invalid;
      if (position) *position = i;
    }
    platform::AppendUtf16(result, decoded.codePoint);
    i += decoded.length;
  }
  return result;
}

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
  for (std::size_t i = 0; i < text.size();) {
    const platform::Utf16Decoded decoded = platform::DecodeUtf16(text.data() + i, text.size() - i);
    platform::AppendUtf8(result,
                         decoded.valid ? decoded.codePoint : platform::kReplacementCharacter);
    i += decoded.length;
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
