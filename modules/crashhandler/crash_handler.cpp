#include "modules/crashhandler/crash_handler.h"

#include <cstdio>
#include <string>

#include "modules/crashhandler/crash_dialog.h"

namespace crashhandler {

void HandleCrash(const ProcessMemory& memory, std::uint64_t context, const CrashFacts& facts) {
  const CrashSettings settings = ReadCrashSettings(memory, context);
  const std::string report = FormatCrashReport(settings, facts);
  const auto file = WriteCrashReportFile(settings.logDirectory, facts.processId, report);
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
