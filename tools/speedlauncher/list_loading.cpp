#include "tools/speedlauncher/list_loading.h"

#include <ostream>

#include "prefetch/lists/prefetch_lists.h"

namespace speedlauncher {

std::string ListFileFor(const Options& options) {
  return options.directory + SpeedLauncher::ListFileName(options.mode);
}

bool LoadListsFor(const Options& options, SpeedLauncher::ApplicationLists& lists,
                  std::ostream& errors) {
  return ExpandListFor(
      options,
      [&lists](std::string_view name, const std::string& path, bool isForeground) {
        lists.Find(name)->push_back({path, isForeground});
      },
      errors);
}

bool ExpandListFor(const Options& options, const SpeedLauncher::NamedItemSink& add,
                   std::ostream& errors) {
  const SpeedLauncher::ExpansionContext context{options.directory, [] { return false; }, &errors};
  if (SpeedLauncher::ListFileName(options.mode).empty()) {
    errors << "speedlauncher: mode " << options.mode << " has no list file\n";
    return false;
  }
  if (SpeedLauncher::ExpandListFile(ListFileFor(options), add, context)) return true;
  errors << "speedlauncher: cannot load the list file " << ListFileFor(options) << '\n';
  return false;
}

}  // namespace speedlauncher
