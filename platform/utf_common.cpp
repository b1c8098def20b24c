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

std::size_t CompleteUtf8Length(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  // A sequence is at most four bytes: its lead lies among the last four.
  const std::size_t first = text.size() > 4 ? text.size() - 4 : 0;
  for (std::size_t start = text.size(); start > first;) {
    --start;
    if ((bytes[start] & 0xC0) == 0x80) continue;  // a continuation byte
    const Utf8Decoded decoded = DecodeUtf8(bytes + start, text.size() - start);
    return decoded.status == Utf8Status::kTruncated ? start : text.size();
  }
  return text.size();
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
