#include "crash_handler.h"

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "crash_dialog.h"
#include "crash_folder.h"

namespace crashhandler {

namespace {

// The log folder when the settings name a usable one, else the user's crash
// folder; none when neither can be had.
struct ReportFolder {
  std::optional<std::filesystem::path> path;
  bool userFolder = false;
};

ReportFolder ChooseFolder(const CrashSettings& settings, std::string& problem) {
  if (auto folder = ExistingFolder(settings.logDirectory)) return {std::move(folder), false};
  return {UserCrashFolder(&problem), true};
}

}  // namespace

void HandleCrash(const ProcessMemory& memory, std::uint64_t context, CrashFacts facts,
                 const DumpWriter& writeDump, const DialogShower& showDialog) {
  const CrashSettings settings = ReadCrashSettings(memory, context);
  std::string problem;
  ReportFolder folder = ChooseFolder(settings, problem);
  const std::string stem = CrashFileStem(facts.processId, facts.time);
  if (folder.path && writeDump) {
    const std::filesystem::path dump = *folder.path / (stem + ".dmp");
    facts.details += "Minidump: " + (writeDump(dump) ? Utf8Text(dump) : "not written") + "\n";
  }
  const std::string report = FormatCrashReport(settings, facts);
  std::optional<std::filesystem::path> file;
  if (folder.path) file = WriteCrashReportFile(*folder.path, stem, report, problem);
  // A log folder that cannot take the report: the user's crash folder keeps it.
  if (!file && !folder.userFolder) {
    std::string fallbackProblem;
    folder = {UserCrashFolder(&fallbackProblem), true};
    if (folder.path) file = WriteCrashReportFile(*folder.path, stem, report, fallbackProblem);
    if (!file) problem += "; " + fallbackProblem;
  }
  if (file) PruneCrashFolder(file->parent_path());

  std::string shown = report;
  shown += file ? "Report file: " + Utf8Text(*file) + "\n"
                : "Report file: not written: " + problem + "\n";
  std::fwrite(shown.data(), 1, shown.size(), stderr);
  std::fflush(stderr);
  showDialog(settings, file);
}

}  // namespace crashhandler
