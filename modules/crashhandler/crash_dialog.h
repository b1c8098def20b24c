#pragma once

#include <filesystem>
#include <optional>

#include "crash_settings_reader.h"

namespace crashhandler {

// The message box, unless the crashed process's settings suppress it;
// either way standard error says which.
void ShowCrashDialog(const CrashSettings& settings,
                     const std::optional<std::filesystem::path>& reportFile);

}  // namespace crashhandler
