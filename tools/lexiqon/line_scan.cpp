#include "line_scan.h"

#include <sstream>

#include "tessvik/text_lines.h"

namespace lexiqon {

void ScanLines(const std::string& bytes, const std::function<void(const ScannedLine&)>& visit) {
  std::istringstream stream(bytes, std::ios::binary);
  tessvik::TextLineReader reader(stream);
  std::u16string current;
  std::u16string_view text;
  ScannedLine pending;
  bool havePending = false;
  std::uint32_t number = 0;
  char16_t previousEnd = 0;
  while (reader.Next(text)) {
    const bool pairEnd = previousEnd == u'\r' && text.empty() && reader.LastTerminator() == u'\n';
    previousEnd = reader.LastTerminator();
    if (pairEnd) continue;
    ++number;
    if (text.empty() || text == u"\uFEFF") continue;
    // One line behind, so that a visit knows whether another line follows.
    if (havePending) visit(pending);
    current.assign(text);
    pending = {number, current, reader.LastTerminator(), false};
    havePending = true;
  }
  if (!havePending) return;
  pending.last = true;
  visit(pending);
}

}  // namespace lexiqon
