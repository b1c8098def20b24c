#include "text_output.h"

#include <cstdio>

#include "platform/code_page.h"

namespace lexiqon {
namespace {

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

void AppendCodePoint(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

}  // namespace

std::string ToUtf8(const std::u16string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHigh(unit) && i + 1 < text.size() && IsLow(text[i + 1])) {
      const char32_t high = unit - 0xD800u;
      AppendCodePoint(out, 0x10000u + (high << 10) + (text[++i] - 0xDC00u));
    } else if (IsHigh(unit) || IsLow(unit)) {
      AppendCodePoint(out, 0xFFFD);
    } else {
      AppendCodePoint(out, unit);
    }
  }
  return out;
}

std::u16string FromUtf8(const std::string& text) {
  bool ascii = true;
  for (char byte : text) ascii = ascii && static_cast<unsigned char>(byte) < 0x80;
  if (ascii) return std::u16string(text.begin(), text.end());
  const auto length = static_cast<int>(text.size());
  const int units =
      platform::MultiByteToWideChar(platform::kCpUtf8, 0, text.data(), length, nullptr, 0);
  std::u16string wide(static_cast<std::size_t>(units), u'\0');
  platform::MultiByteToWideChar(platform::kCpUtf8, 0, text.data(), length, wide.data(), units);
  return wide;
}

std::string ToUnitList(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    char hex[6];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(unit));
    if (!out.empty()) out.push_back(' ');
    out += hex;
  }
  return out;
}

}  // namespace lexiqon
