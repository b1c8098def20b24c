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

// A command's status once its output is flushed: 1 (with a message) when
// the output could not be written, such as to a full disk, unless the
// command already failed.
int CheckedOutput(int status, std::ostream& out, std::ostream& errors);

// 0 B, 512 B, 1.2 KiB, 3.0 MiB, 1.5 GiB: binary units, one decimal.
std::string HumanSize(std::uint64_t bytes);

// The text as a JSON string, quotes included, always well-formed
// UTF-8. A byte that is not
// part of well-formed UTF-8 becomes \udcXX (XX the byte), as Python's
// "surrogateescape" reads it back into the same bytes.
std::string JsonString(std::string_view text);

// The text as it can be shown in a message: well-formed UTF-8 as it is,
// any other byte as \xXX, control characters as \n, \t or \xXX, and a
// backslash doubled, so that the shown name is unambiguous.
std::string Printable(std::string_view text);

}  // namespace speedlauncher
