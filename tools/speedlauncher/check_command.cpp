#include <ostream>

#include "tools/speedlauncher/commands.h"
#include "tools/speedlauncher/list_check.h"
#include "tools/speedlauncher/list_loading.h"

namespace speedlauncher {

int RunCheck(const Options& options, std::ostream& out, std::ostream&) {
  const std::string path = ListFileFor(options);
  const std::vector<Finding> findings = CheckListFile(path, options.directory);
  for (const Finding& finding : findings) {
    out << path << ':' << finding.line << ": " << finding.message << '\n';
  }
  return findings.empty() ? 0 : 1;
}

}  // namespace speedlauncher
