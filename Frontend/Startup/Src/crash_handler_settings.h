#pragma once

#include <crashhandler/settings_record.h>

#include <cstdint>
#include <initializer_list>

#include "vantilcore/allocator.h"
#include "vantilcore/debug.h"

namespace Startup {

// The process's record, in static data so that its size is set at load.
extern CrashHandlerSettings crashHandlerSettings;

inline constexpr const char* kProductName = "VANTIL_PRODUCT_NAME";
inline constexpr const char* kForumAddress = "https://community.harlund.example/pellicor/";
inline constexpr const char* kSuppressDialogSwitch = "SuppressCrashHandlerDialog";

// Before registration: product name, forum address and the fixed fields.
void PrepareCrashHandlerSettings(CrashHandlerSettings& settings);
// Once the core library is up; either may throw, the caller drops it.
void RecordSuppressDialog(CrashHandlerSettings& settings);
void RecordLogDirectory(CrashHandlerSettings& settings);

using CrashSettingsStep = void (*)(CrashHandlerSettings&);
// Runs the steps in order and drops any exception: the step that threw ends
// the run, and the fields of the later steps stay as they were.
void RecordCoreSettings(CrashHandlerSettings& settings,
                        std::initializer_list<CrashSettingsStep> steps = {RecordSuppressDialog,
                                                                          RecordLogDirectory});

bool ReadDebugFlag(vantilcore::debug::DebugDatabase& database, const UTF8String& key,
                   bool defaultValue);

}  // namespace Startup
