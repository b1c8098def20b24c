#include <ostream>

#include "tools/speedlauncher/commands.h"
#include "tools/speedlauncher/list_loading.h"

namespace speedlauncher {

int RunExpand(const Options& options, std::ostream& out, std::ostream& errors) {
  SpeedLauncher::ApplicationLists lists;
  if (!LoadListsFor(options, lists, errors)) return 1;
  for (std::string_view name : SpeedLauncher::kApplicationNames) {
    for (const SpeedLauncher::PrefetchItem& item : *lists.Find(name)) {
      out << name << ' ' << (item.isForeground ? 'F' : 'B') << ' ' << item.path << '\n';
    }
  }
  return 0;
}

}  // namespace speedlauncher
