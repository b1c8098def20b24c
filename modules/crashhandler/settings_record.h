#pragma once

// The launcher's crash handler settings record as this module reads it out
// of the crashed process: addresses there are plain numbers here.
#include <cstddef>
#include <cstdint>

namespace crashhandler {

struct SettingsRecord {
  std::uint32_t recordSize;
  std::uint32_t reserved0;
  std::uint32_t suppressDialog;
  std::uint32_t reserved1;
  std::uint64_t productName;
  std::uint64_t productNameLength;
  std::uint64_t logDirectory;
  std::uint64_t logDirectoryLength;
  std::uint64_t forumAddress;
  std::uint64_t forumAddressLength;
};

inline constexpr std::uint32_t kSettingsRecordSize = 64;
static_assert(sizeof(SettingsRecord) == kSettingsRecordSize);
static_assert(offsetof(SettingsRecord, suppressDialog) == 8);
static_assert(offsetof(SettingsRecord, productName) == 16);
static_assert(offsetof(SettingsRecord, productNameLength) == 24);
static_assert(offsetof(SettingsRecord, logDirectory) == 32);
static_assert(offsetof(SettingsRecord, logDirectoryLength) == 40);
static_assert(offsetof(SettingsRecord, forumAddress) == 48);
static_assert(offsetof(SettingsRecord, forumAddressLength) == 56);

}  // namespace crashhandler
