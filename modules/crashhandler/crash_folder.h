#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace crashhandler {

// How many reports a report folder keeps.
inline constexpr std::size_t kKeptReports = 20;

// The user's crash folder, "Harlund/Pellicor/Crashes" in the local
// application data (on Linux the freedesktop state folder), created with
// owner-only permissions; none, and why in `problem`, when it cannot be made.
std::optional<std::filesystem::path> UserCrashFolder(std::string* problem = nullptr);

// Keeps the newest `keep` reports in `folder`: a report is "<stem>.txt" with
// its "<stem>.dmp", if any (see CrashFileStem). No other file is touched.
void PruneCrashFolder(const std::filesystem::path& folder, std::size_t keep = kKeptReports);

}  // namespace crashhandler
