#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>

namespace crashhandler {

// How many reports the user's crash folder keeps.
inline constexpr std::size_t kKeptReports = 20;

// The user's crash folder, "Harlund/Pellicor/Crashes" in the local
// application data (on Linux the freedesktop state folder), created with
// owner-only permissions; none when it cannot be made.
std::optional<std::filesystem::path> UserCrashFolder();

// Keeps the newest `keep` reports in `folder`: a report is "crash-<pid>.txt"
// with its "crash-<pid>.dmp", if any. No other file is touched.
void PruneCrashFolder(const std::filesystem::path& folder, std::size_t keep = kKeptReports);

}  // namespace crashhandler
