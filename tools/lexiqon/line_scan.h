#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lexiqon {

// One line of a text dictionary as a load sees it, numbered as an editor
// numbers lines (a carriage return and line feed pair is one line end).
struct ScannedLine {
  std::uint32_t number = 0;
  std::u16string_view text;
  char16_t terminator = 0;  // 0 when the end of the text or a NUL ended it
  bool last = false;        // no line follows
};

// Calls visit for every line that a load hands to the dictionary (empty
// lines and a lone byte-order mark are skipped, as a load skips them).
void ScanLines(const std::string& bytes, const std::function<void(const ScannedLine&)>& visit);

}  // namespace lexiqon
