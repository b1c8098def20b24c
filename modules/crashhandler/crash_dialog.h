#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "crash_settings_reader.h"

namespace crashhandler {

struct CrashDialogMessage {
  std::string caption;
  std::string text;
};

// What the dialog says: where the report is and where to ask for help.
CrashDialogMessage ComposeCrashDialog(const CrashSettings& settings,
                                      const std::optional<std::filesystem::path>& reportFile);

// The message box, unless the crashed process's settings suppress it;
// either way standard error says which.
void ShowCrashDialog(const CrashSettings& settings,
                     const std::optional<std::filesystem::path>& reportFile);

}  // namespace crashhandler
