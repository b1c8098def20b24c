#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "modules/crashhandler/crash_settings_reader.h"

namespace crashhandler {

// What the system told us about the crash.
struct CrashFacts {
  std::string description;  // e.g. "signal 11 (SIGSEGV), code 1, address 0x0"
  std::uint32_t processId = 0;
  std::time_t time = 0;
  std::string details;  // report lines after the summary: stacks, modules
};

// Texts from the crashed process with control characters made visible.
std::string Printable(const std::string& text);

// The report: a few "Name: value" lines, then the details.
std::string FormatCrashReport(const CrashSettings& settings, const CrashFacts& facts);

// "crash-<pid>.txt" in `directory`; the file's path, or none when the
// directory is not an existing folder or the file cannot be written.
std::optional<std::filesystem::path> WriteCrashReportFile(const std::string& directory,
                                                          std::uint32_t processId,
                                                          const std::string& report);

}  // namespace crashhandler
