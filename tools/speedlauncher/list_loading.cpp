#include "tools/speedlauncher/list_loading.h"

#include <ostream>

#include "prefetch/lists/prefetch_lists.h"

namespace speedlauncher {

std::string ListFileFor(const Options& options) {
  return options.directory + SpeedLauncher::ListFileName(options.mode);
}

bool LoadListsFor(const Options& options, SpeedLauncher::ApplicationLists& lists,
                  std::ostream& errors) {
  const SpeedLauncher::ExpansionContext context{options.directory, [] { return false; }, &errors};
  if (SpeedLauncher::ListFileName(options.mode).empty()) {
    errors << "speedlauncher: mode " << options.mode << " has no list file\n";
    return false;
  }
  if (SpeedLauncher::LoadListFile(ListFileFor(options), lists, context)) return true;
  errors << "speedlauncher: cannot load the list file " << ListFileFor(options) << '\n';
  return false;
}

}  // namespace speedlauncher
