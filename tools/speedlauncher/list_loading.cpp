#include "list_loading.h"

#include <iostream>
#include <iterator>
#include <ostream>
#include <unordered_set>

#include "platform/file_identity.h"
#include "prefetch/worker/prefetch_worker.h"
#include "report_text.h"

namespace speedlauncher {

std::string StandardInputText() {
  return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
}

std::string ListFileFor(const Options& options) {
  if (!options.listFile.empty()) return options.listFile;
  const std::string name = SpeedLauncher::ListFileName(options.mode);
  return name.empty() ? std::string() : options.directory + name;
}

bool LoadListsFor(const Options& options, SpeedLauncher::ApplicationLists& lists,
                  std::ostream& errors, ExpansionReport* report) {
  return ExpandListFor(
      options,
      [&lists](std::string_view name, const std::string& path, bool isForeground) {
        lists.Find(name)->push_back({path, isForeground});
      },
      errors, report);
}

bool ExpandListFor(const Options& options, const SpeedLauncher::NamedItemSink& add,
                   std::ostream& errors, ExpansionReport* report) {
  const std::string file = ListFileFor(options);
  if (file.empty()) {
    Report(errors, "--mode " + std::to_string(options.mode), 0, Severity::kError,
           "this mode has no list file; name one with --list");
    return false;
  }
  SpeedLauncher::ExpansionContext context{options.directory, [] { return false; }, nullptr, {}};
  // A walk that failed drops the rest of its entry in the launcher too: an
  // error in every command.
  context.walkError = [&errors, report](const std::string& path, const std::string& reason) {
    Report(errors, Printable(path), 0, Severity::kError,
           "cannot walk: " + reason + "; the rest of the entry is skipped");
    if (report != nullptr) ++report->walkErrors;
  };
  if (report != nullptr) {
    context.passedOver = [report](const std::string& path) { report->passedOver.push_back(path); };
  }
  const bool loaded = file == "-" ? SpeedLauncher::ExpandListText(StandardInputText(), add, context)
                                  : SpeedLauncher::ExpandListFile(file, add, context);
  if (loaded) return true;
  Report(errors, Printable(file), 0, Severity::kError,
         "cannot load the list: missing, unreadable or not well-formed XML (see speedlauncher "
         "check)");
  return false;
}

bool FilesWarmReads(const Options& options, std::vector<std::string>& paths, int& walkErrors,
                    std::ostream& errors) {
  SpeedLauncher::ApplicationLists lists;
  ExpansionReport report;
  if (!LoadListsFor(options, lists, errors, &report)) return false;
  const SpeedLauncher::PrefetchList* list = SpeedLauncher::ListReadInMode(lists, options.mode);
  if (list == nullptr) {
    Report(errors, Printable(ListFileFor(options)), 0, Severity::kError,
           "mode " + std::to_string(options.mode) + " reads no list");
    return false;
  }
  // One file under two spellings is one file to measure or drop.
  std::unordered_set<platform::FileIdentity, platform::FileIdentityHash> seen;
  for (const SpeedLauncher::PrefetchItem& item : *list) {
    if (!item.isForeground) continue;
    platform::FileIdentity identity;
    int error = 0;
    if (!platform::IdentifyFile(item.path, identity, error) || seen.insert(identity).second) {
      paths.push_back(item.path);
    }
  }
  walkErrors = report.walkErrors;
  return true;
}

}  // namespace speedlauncher
