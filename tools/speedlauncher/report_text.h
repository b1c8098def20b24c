#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace speedlauncher {

enum class Severity { kError, kWarning };

// "speedlauncher: FILE[:LINE]: error|warning: TEXT" and a line end; no line
// number when line is 0.
void Report(std::ostream& errors, std::string_view file, int line, Severity severity,
            std::string_view text);

// 0 B, 512 B, 1.2 KiB, 3.0 MiB, 1.5 GiB: binary units, one decimal.
std::string HumanSize(std::uint64_t bytes);

// The text as a JSON string, quotes included. Bytes that are not UTF-8
// pass through unchanged, as paths may hold them.
std::string JsonString(std::string_view text);

}  // namespace speedlauncher
