#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "crash_settings_reader.h"

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

// A path as UTF-8 text, the report's encoding.
std::string Utf8Text(const std::filesystem::path& path);

// The folder a UTF-8 text names, when it is an existing absolute folder.
std::optional<std::filesystem::path> ExistingFolder(const std::string& directory);

// "crash-<pid>" and the extension.
std::string CrashFileName(std::uint32_t processId, const char* extension);

// "crash-<pid>.txt" in `folder`; the file's path, or none when the file
// cannot be written.
std::optional<std::filesystem::path> WriteCrashReportFile(const std::filesystem::path& folder,
                                                          std::uint32_t processId,
                                                          const std::string& report);

}  // namespace crashhandler
