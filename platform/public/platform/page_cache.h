#pragma once

#include <cstdint>
#include <string>

#include "platform/export.h"

namespace platform {

// Whether this system can tell and change what its file cache holds.
PLATFORM_API bool PageCacheAvailable();

struct Residency {
  std::uint64_t size = 0;   // bytes
  std::uint64_t pages = 0;  // of the system's page size, the last one partly used
  // False where the system will not tell this caller (on Linux, a file it
  // neither owns nor may write): the counts below are then not measured.
  bool known = false;
  std::uint64_t cachedPages = 0;
  std::uint64_t cachedBytes = 0;  // cachedPages' bytes, at most size
};

// How much of the file the file cache holds now, asked in bounded pieces,
// so that a huge sparse file costs little memory. False with the system's
// error number when the file cannot be looked at.
PLATFORM_API bool MeasureResidency(const std::string& path, Residency& residency, int& error);

// Asks the system to drop the file's pages from its cache. Pages that are
// written but not yet stored stay. False with the system's error number.
PLATFORM_API bool DropFromCache(const std::string& path, int& error);

}  // namespace platform
