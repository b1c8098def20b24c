#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace lexiqon {

// Where each message of a PO file starts, in file order, as gettext's
// library lists them per domain; the library itself keeps no lines.
struct PoPlace {
  std::uint32_t line = 0;       // the msgctxt line, else the msgid line
  std::uint32_t msgidLine = 0;  // the msgid line, where the library reports
  std::string domain = "messages";
  std::size_t signature = 0;  // a hash of the raw msgctxt and msgid lines
};

std::vector<PoPlace> ScanPoPlaces(std::istream& text);

}  // namespace lexiqon
