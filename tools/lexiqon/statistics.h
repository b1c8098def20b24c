#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace lexiqon {

// What a compile or check did with a file's lines.
struct LineCounts {
  std::string path;
  std::size_t entries = 0;       // distinct keys kept
  std::size_t lines = 0;         // entry lines read
  std::size_t replaced = 0;      // lines whose key a later line replaced
  std::size_t dropped = 0;       // lines that clear the valid flag
  std::size_t untranslated = 0;  // PO messages left out
  std::size_t fuzzy = 0;
  std::size_t plural = 0;  // PO plural messages left out
};

// One line on standard error, in the manner of msgfmt --statistics.
void PrintStatistics(const LineCounts& counts, std::ostream& err);

}  // namespace lexiqon
