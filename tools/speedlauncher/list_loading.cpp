#include "list_loading.h"

#include <ostream>
#include <unordered_set>

#include "prefetch/worker/prefetch_worker.h"
#include "report_text.h"

namespace speedlauncher {

std::string ListFileFor(const Options& options) {
  if (!options.listFile.empty()) return options.listFile;
  const std::string name = SpeedLauncher::ListFileName(options.mode);
  return name.empty() ? std::string() : options.directory + name;
}

bool LoadListsFor(const Options& options, SpeedLauncher::ApplicationLists& lists,
                  std::ostream& errors, int* walkErrors) {
  return ExpandListFor(
      options,
      [&lists](std::string_view name, const std::string& path, bool isForeground) {
        lists.Find(name)->push_back({path, isForeground});
      },
      errors, walkErrors);
}

bool ExpandListFor(const Options& options, const SpeedLauncher::NamedItemSink& add,
                   std::ostream& errors, int* walkErrors) {
  const std::string file = ListFileFor(options);
  if (file.empty()) {
    Report(errors, "--mode " + std::to_string(options.mode), 0, Severity::kError,
           "this mode has no list file; name one with --list");
    return false;
  }
  SpeedLauncher::ExpansionContext context{options.directory, [] { return false; }, nullptr, {}};
  context.walkError = [&errors, walkErrors](const std::string& path, const std::string& reason) {
    Report(errors, path, 0, Severity::kWarning,
           "cannot walk: " + reason + "; rest of entry skipped");
    if (walkErrors != nullptr) ++*walkErrors;
  };
  if (SpeedLauncher::ExpandListFile(file, add, context)) return true;
  Report(errors, file, 0, Severity::kError,
         "cannot load the list: missing, unreadable or not well-formed XML");
  return false;
}

bool FilesWarmReads(const Options& options, std::vector<std::string>& paths, std::ostream& errors) {
  SpeedLauncher::ApplicationLists lists;
  if (!LoadListsFor(options, lists, errors)) return false;
  const SpeedLauncher::PrefetchList* list = SpeedLauncher::ListReadInMode(lists, options.mode);
  if (list == nullptr) {
    Report(errors, ListFileFor(options), 0, Severity::kError,
           "mode " + std::to_string(options.mode) + " reads no list");
    return false;
  }
  std::unordered_set<std::string> seen;
  for (const SpeedLauncher::PrefetchItem& item : *list) {
    if (item.isForeground && seen.insert(item.path).second) paths.push_back(item.path);
  }
  return true;
}

}  // namespace speedlauncher
