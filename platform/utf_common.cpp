#include "platform/utf_common.h"

namespace platform {

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string result;
  result.reserve(text.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Decoded decoded = DecodeUtf8(bytes + i, text.size() - i);
    AppendUtf16(result, decoded.codePoint);
    i += decoded.length;
  }
  return result;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Utf16Decoded decoded = DecodeUtf16(text.data() + i, text.size() - i);
    AppendUtf8(result, decoded.valid ? decoded.codePoint : kReplacementCharacter);
    i += decoded.length;
  }
  return result;
}

bool IsWellFormedUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Decoded decoded = DecodeUtf8(bytes + i, text.size() - i);
    if (decoded.status != Utf8Status::kValid) return false;
    i += decoded.length;
  }
  return true;
}

}  // namespace platform
