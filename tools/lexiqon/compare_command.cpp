#include <algorithm>
#include <ostream>

#include "commands.h"
#include "entry_source.h"

namespace lexiqon {
namespace {

// Reports the keys of one sorted list that the other lacks.
std::size_t Missing(const std::vector<tessvik::CompiledEntry>& have, const std::string& havePath,
                    const std::vector<tessvik::CompiledEntry>& other, const std::string& otherPath,
                    Reporter& report) {
  std::size_t missing = 0;
  for (const auto& entry : have) {
    const bool found =
        std::binary_search(other.begin(), other.end(), entry,
                           [](const auto& a, const auto& b) { return a.key < b.key; });
    if (found) continue;
    ++missing;
    report.Warning(havePath, "key \"" + entry.key + "\" is not in " + otherPath);
  }
  return missing;
}

}  // namespace

int RunCompare(const CompareOptions& options, Context& context) {
  const int errorsBefore = context.report.Errors();
  const EntrySource first =
      ReadEntries(options.first, options.inputFormat, options.pluralForm, context.report);
  const EntrySource second =
      ReadEntries(options.second, options.inputFormat, options.pluralForm, context.report);
  const std::size_t missing =
      Missing(first.entries, options.first, second.entries, options.second, context.report) +
      Missing(second.entries, options.second, first.entries, options.first, context.report);
  return missing == 0 && context.report.Errors() == errorsBefore ? 0 : 1;
}

}  // namespace lexiqon
