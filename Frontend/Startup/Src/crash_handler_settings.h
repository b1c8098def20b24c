#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "vantilcore/allocator.h"
#include "vantilcore/debug.h"

namespace Startup {

// Read by the crash handler out of a crashed process: the layout is fixed.
struct CrashHandlerSettings {
  std::uint32_t recordSize = 64;
  std::uint32_t reserved0 = 0;
  std::uint32_t suppressDialog = 0;
  std::uint32_t reserved1 = 0;
  const unsigned char* productName = nullptr;
  std::uint64_t productNameLength = 0;
  const unsigned char* logDirectory = nullptr;
  std::uint64_t logDirectoryLength = 0;
  const unsigned char* forumAddress = nullptr;
  std::uint64_t forumAddressLength = 0;
};

static_assert(sizeof(void*) == 8, "the record holds 64-bit addresses");
static_assert(sizeof(CrashHandlerSettings) == 64);
static_assert(offsetof(CrashHandlerSettings, recordSize) == 0);
static_assert(offsetof(CrashHandlerSettings, reserved0) == 4);
static_assert(offsetof(CrashHandlerSettings, suppressDialog) == 8);
static_assert(offsetof(CrashHandlerSettings, reserved1) == 12);
static_assert(offsetof(CrashHandlerSettings, productName) == 16);
static_assert(offsetof(CrashHandlerSettings, productNameLength) == 24);
static_assert(offsetof(CrashHandlerSettings, logDirectory) == 32);
static_assert(offsetof(CrashHandlerSettings, logDirectoryLength) == 40);
static_assert(offsetof(CrashHandlerSettings, forumAddress) == 48);
static_assert(offsetof(CrashHandlerSettings, forumAddressLength) == 56);

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
