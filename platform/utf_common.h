#pragma once

#include <string>
#include <string_view>

namespace platform {

// Lossy conversions for file names and texts: invalid input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace platform
