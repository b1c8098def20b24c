#include "statistics.h"

#include <ostream>

namespace lexiqon {

void PrintStatistics(const LineCounts& counts, std::ostream& err) {
  err << "lexiqon: " << counts.path << ": " << counts.entries << " entries";
  if (counts.lines != 0) err << " from " << counts.lines << " lines";
  err << ", " << counts.replaced << " replaced keys";
  if (counts.dropped != 0) err << ", " << counts.dropped << " dropped lines";
  if (counts.untranslated != 0 || counts.fuzzy != 0) {
    err << ", " << counts.untranslated << " untranslated and " << counts.fuzzy
        << " fuzzy messages left out";
  }
  if (counts.plural != 0) err << ", " << counts.plural << " plural messages left out";
  err << ".\n";
}

}  // namespace lexiqon
