#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/environment.h"
#include "platform/utf_common.h"

namespace platform {

std::uint32_t GetEnvironmentVariableW(const char16_t* name, char16_t* buffer, std::uint32_t size) {
  const char* value = std::getenv(Utf16ToUtf8(name).c_str());
  if (value == nullptr) return 0;
  const std::u16string wide = Utf8ToUtf16(value);
  const auto length = static_cast<std::uint32_t>(wide.size());
  if (buffer == nullptr || size <= length) return length + 1;
  std::copy(wide.begin(), wide.end(), buffer);
  buffer[length] = u'\0';
  return length;
}

}  // namespace platform
