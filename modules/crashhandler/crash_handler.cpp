#include "modules/crashhandler/crash_handler.h"

#include <cstdio>
#include <string>

#include "modules/crashhandler/crash_dialog.h"
#include "modules/crashhandler/crash_folder.h"

namespace crashhandler {

void HandleCrash(const ProcessMemory& memory, std::uint64_t context, const CrashFacts& facts) {
  const CrashSettings settings = ReadCrashSettings(memory, context);
  const std::string report = FormatCrashReport(settings, facts);
  auto file = WriteCrashReportFile(settings.logDirectory, facts.processId, report);
  // Without a usable log folder the report is kept in the user's crash folder.
  if (!file) {
    if (const auto folder = UserCrashFolder()) {
      const std::u8string path = folder->u8string();
      file = WriteCrashReportFile(std::string(path.begin(), path.end()), facts.processId, report);
      PruneCrashFolder(*folder);
    }
  }
  std::string shown = report;
  if (file) {
    const std::u8string path = file->u8string();
    shown += "Report file: " + std::string(path.begin(), path.end()) + "\n";
  }
  std::fwrite(shown.data(), 1, shown.size(), stderr);
  std::fflush(stderr);
  ShowCrashDialog(settings, file);
}

}  // namespace crashhandler
