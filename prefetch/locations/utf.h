#pragma once

#include <string>
#include <string_view>

namespace SpeedLauncher {

// Ill-formed sequences become U+FFFD rather than failing: a location is
// still worth trying with one odd character in it.
std::string ToUtf8(std::u16string_view text);
std::u16string ToUtf16(std::string_view text);

}  // namespace SpeedLauncher
