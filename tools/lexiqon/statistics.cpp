#include "statistics.h"

#include <ostream>
#include <set>

#include "dictionary_files.h"
#include "line_scan.h"
#include "tessvik/text_lines.h"

namespace lexiqon {

LineCounts CountLines(const std::string& path, const std::string& bytes, std::size_t entries) {
  LineCounts counts;
  counts.path = path;
  counts.entries = entries;
  if (IsCompiled(bytes)) return counts;
  std::set<std::string> keys;
  ScanLines(bytes, [&](const ScannedLine& line) {
    const tessvik::TextLine parsed = tessvik::ParseTextLine(line.text);
    if (!parsed.accepted) {
      ++counts.dropped;
      return;
    }
    ++counts.lines;
    if (!keys.insert(parsed.key).second) ++counts.replaced;
  });
  return counts;
}

void PrintStatistics(const LineCounts& counts, std::ostream& err) {
  err << "lexiqon: " << counts.path << ": " << counts.entries << " entries";
  if (counts.lines != 0) err << " from " << counts.lines << " lines";
  err << ", " << counts.replaced << " replaced keys";
  if (counts.dropped != 0) err << ", " << counts.dropped << " dropped lines";
  if (counts.untranslated != 0 || counts.fuzzy != 0) {
    err << ", " << counts.untranslated << " untranslated and " << counts.fuzzy
        << " fuzzy messages left out";
  }
  err << ".\n";
}

}  // namespace lexiqon
