#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/export.h"

namespace platform {

// Which file a name leads to: two names of one file, through links, "."
// and ".." or doubled separators, have one identity.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t index = 0;  // the file's number on its device

  bool operator==(const FileIdentity&) const = default;
};

struct FileIdentityHash {
  std::size_t operator()(const FileIdentity& identity) const {
    return std::hash<std::uint64_t>()(identity.index * 31 + identity.device);
  }
};

// The identity of what path leads to, links followed. False with the
// system's error number when it cannot be had.
PLATFORM_API bool IdentifyFile(const std::string& path, FileIdentity& identity, int& error);

}  // namespace platform
