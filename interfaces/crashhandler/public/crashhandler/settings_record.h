#pragma once

// The crash handler settings record: the launcher keeps one in its static
// data and hands its address to the error-reporting registration; the crash
// handler reads it out of the crashed process. Both sides compile this one
// layout. In the crash handler the text fields are addresses in the other
// process, never dereferenced there.
#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t kCrashHandlerSettingsSize = 64;

struct CrashHandlerSettings {
  std::uint32_t recordSize = kCrashHandlerSettingsSize;
  std::uint32_t reserved0 = 0;
  std::uint32_t suppressDialog = 0;  // 1 suppresses the dialog
  std::uint32_t reserved1 = 0;
  // UTF-8 texts, each NUL-terminated; the lengths exclude the NUL.
  const unsigned char* productName = nullptr;
  std::uint64_t productNameLength = 0;
  const unsigned char* logDirectory = nullptr;
  std::uint64_t logDirectoryLength = 0;
  const unsigned char* forumAddress = nullptr;
  std::uint64_t forumAddressLength = 0;
};

static_assert(sizeof(void*) == 8, "the record holds 64-bit addresses");
static_assert(sizeof(CrashHandlerSettings) == kCrashHandlerSettingsSize);
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
