#include "text_output.h"

#include <cstdio>

#include "platform/utf_common.h"

namespace lexiqon {

std::string ToUtf8(const std::u16string& text) { return platform::Utf16ToUtf8(text); }

std::u16string FromUtf8(const std::string& text) { return platform::Utf8ToUtf16(text); }

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
