#include <ostream>

#include "commands.h"
#include "list_check.h"
#include "list_loading.h"

namespace speedlauncher {

int RunCheck(const Options& options, std::ostream& out, std::ostream& errors) {
  const std::string path = ListFileFor(options);
  if (path.empty()) {
    Report(errors, "--mode " + std::to_string(options.mode), 0, Severity::kError,
           "this mode has no list file; name one with --list");
    return 1;
  }
  int errorCount = 0;
  int warningCount = 0;
  for (const Finding& finding : CheckListFile(path, options.directory, options.mode)) {
    Report(errors, path, finding.line, finding.severity, finding.message);
    ++(finding.severity == Severity::kError ? errorCount : warningCount);
  }
  out << path << ": " << errorCount << " errors, " << warningCount << " warnings\n";
  return errorCount > 0 ? 1 : 0;
}

}  // namespace speedlauncher
