#include "prefetch/locations/utf_text.h"

#include <climits>

#include "platform/code_page.h"

namespace SpeedLauncher {

std::string ToUtf8(std::u16string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int units = static_cast<int>(text.size());
  const int size = platform::WideCharToMultiByte(platform::kCpUtf8, 0, text.data(), units, nullptr,
                                                 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string result(static_cast<std::size_t>(size), '\0');
  platform::WideCharToMultiByte(platform::kCpUtf8, 0, text.data(), units, result.data(), size,
                                nullptr, nullptr);
  return result;
}

std::u16string ToUtf16(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int bytes = static_cast<int>(text.size());
  const int size =
      platform::MultiByteToWideChar(platform::kCpUtf8, 0, text.data(), bytes, nullptr, 0);
  if (size <= 0) return {};
  std::u16string result(static_cast<std::size_t>(size), u'\0');
  platform::MultiByteToWideChar(platform::kCpUtf8, 0, text.data(), bytes, result.data(), size);
  return result;
}

}  // namespace SpeedLauncher
