#pragma once

#include <string>
#include <string_view>

namespace SpeedLauncher {

// Conversions between the operating system's UTF-16 and the UTF-8 the
// prefetcher keeps its paths in. Invalid input gives the empty string.
std::string ToUtf8(std::u16string_view text);
std::u16string ToUtf16(std::string_view text);

}  // namespace SpeedLauncher
