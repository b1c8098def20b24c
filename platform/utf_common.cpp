#include "platform/utf_common.h"

namespace platform {
namespace {

// The range the second byte of a sequence must be in, by lead byte, which
// keeps out overlongs, surrogates and values past U+10FFFF; a zero length
// means the lead byte itself is invalid.
struct LeadRule {
  std::size_t length;
  unsigned char secondLow;
  unsigned char secondHigh;
};

LeadRule RuleOf(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

Utf8Decoded DecodeUtf8(const unsigned char* bytes, std::size_t available) {
  const unsigned char lead = bytes[0];
  if (lead < 0x80) return {lead, 1, Utf8Status::kValid};
  const LeadRule rule = RuleOf(lead);
  if (rule.length == 0) return {kReplacementCharacter, 1, Utf8Status::kInvalid};
  char32_t codePoint = lead & (0x7Fu >> rule.length);
  for (std::size_t i = 1; i < rule.length; ++i) {
    if (i >= available) return {kReplacementCharacter, i, Utf8Status::kTruncated};
    const unsigned char low = i == 1 ? rule.secondLow : 0x80;
    const unsigned char high = i == 1 ? rule.secondHigh : 0xBF;
    if (bytes[i] < low || bytes[i] > high) return {kReplacementCharacter, i, Utf8Status::kInvalid};
    codePoint = (codePoint << 6) | (bytes[i] & 0x3Fu);
  }
  return {codePoint, rule.length, Utf8Status::kValid};
}

Utf16Decoded DecodeUtf16(const char16_t* units, std::size_t available) {
  const char16_t unit = units[0];
  if (IsHighSurrogate(unit) && available > 1 && IsLowSurrogate(units[1])) {
    return {0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{units[1]} - 0xDC00), 2, true};
  }
  return {unit, 1, !IsHighSurrogate(unit) && !IsLowSurrogate(unit)};
}

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
