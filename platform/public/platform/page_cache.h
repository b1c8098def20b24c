#pragma once

#include <cstdint>
#include <string>

#include "platform/export.h"

namespace platform {

// Whether this system can tell and change what its file cache holds.
PLATFORM_API bool PageCacheAvailable();

// The file's size and how many of its bytes the file cache holds now.
// False with the system's error number when the file cannot be looked at.
PLATFORM_API bool CachedBytes(const std::string& path, std::uint64_t& cached, std::uint64_t& size,
                              int& error);

// Asks the system to drop the file's pages from its cache. Pages that are
// written but not yet stored stay. False with the system's error number.
PLATFORM_API bool DropFromCache(const std::string& path, int& error);

}  // namespace platform
