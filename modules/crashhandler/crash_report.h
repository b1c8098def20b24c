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
  std::string application;  // e.g. "Pellicor 19.0 (build 1)"; empty when unknown
  std::string signature;    // see CrashSignature; empty when there is none
  std::uint32_t processId = 0;
  std::time_t time = 0;
  std::string details;  // report lines after the summary: stacks, modules
};

// Texts from the crashed process with control characters made visible.
std::string Printable(const std::string& text);

// The report: a few "Name: value" lines, this handler's own version among
// them, then the details.
std::string FormatCrashReport(const CrashSettings& settings, const CrashFacts& facts);

// A path as UTF-8 text, the report's encoding.
std::string Utf8Text(const std::filesystem::path& path);

// The folder a UTF-8 text names, when it is an existing absolute folder.
std::optional<std::filesystem::path> ExistingFolder(const std::string& directory);

// "crash-<yyyymmdd>-<hhmmss>-<pid>-<8 random hex digits>": unique across
// restarts and across PID namespaces, where many processes share a pid.
std::string CrashFileStem(std::uint32_t processId, std::time_t time);

// "<stem>.txt" in `folder`, a new file; its path, or none, with the
// system's reason in `problem`, when it cannot be written.
std::optional<std::filesystem::path> WriteCrashReportFile(const std::filesystem::path& folder,
                                                          const std::string& stem,
                                                          const std::string& report,
                                                          std::string& problem);

}  // namespace crashhandler
