#include <ostream>

#include "commands.h"
#include "list_check.h"
#include "list_loading.h"
#include "report_text.h"

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
  std::string json;
  for (const Finding& finding : CheckListFile(path, options.directory, options.mode)) {
    const bool isError = finding.severity == Severity::kError;
    ++(isError ? errorCount : warningCount);
    if (!options.json) {
      Report(errors, Printable(path), finding.line, finding.severity, finding.message);
      continue;
    }
    json += (json.empty() ? "" : ", ") + std::string("{\"line\": ") + std::to_string(finding.line) +
            ", \"severity\": \"" + (isError ? "error" : "warning") +
            "\", \"message\": " + JsonString(finding.message) + "}";
  }
  if (options.json) {
    out << "{\"list\": " << JsonString(path) << ", \"errors\": " << errorCount
        << ", \"warnings\": " << warningCount << ", \"findings\": [" << json << "]}\n";
  } else {
    out << Printable(path) << ": " << errorCount << " errors, " << warningCount << " warnings\n";
  }
  return errorCount > 0 ? 1 : 0;
}

}  // namespace speedlauncher
