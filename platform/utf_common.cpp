#include "platform/utf_common.h"

#include "platform/code_page.h"

namespace platform {

std::u16string Utf8ToUtf16(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int count = MultiByteToWideChar(kCpUtf8, 0, text.data(), length, nullptr, 0);
  std::u16string result(static_cast<std::size_t>(count), u'\0');
  MultiByteToWideChar(kCpUtf8, 0, text.data(), length, result.data(), count);
  return result;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int count =
      WideCharToMultiByte(kCpUtf8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(kCpUtf8, 0, text.data(), length, result.data(), count, nullptr, nullptr);
  return result;
}

}  // namespace platform
