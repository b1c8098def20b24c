#include <ostream>

#include "tools/speedlauncher/commands.h"
#include "tools/speedlauncher/list_loading.h"

namespace speedlauncher {

int RunExpand(const Options& options, std::ostream& out, std::ostream& errors) {
  // Printed as they are made: a tree of a million files costs no memory.
  const bool loaded = ExpandListFor(
      options,
      [&out](std::string_view name, const std::string& path, bool isForeground) {
        out << name << ' ' << (isForeground ? 'F' : 'B') << ' ' << path << '\n';
      },
      errors);
  return loaded ? 0 : 1;
}

}  // namespace speedlauncher
