#pragma once

#include <cstdint>

#include "vantilcore/allocator.h"

namespace Stoven {

struct Options {
  std::int32_t exitCode = 0;
};

// Reads the switches from a command line split as Windows splits it;
// a malformed value leaves its default.
Options ParseOptions(const UTF16String& commandLine);

}  // namespace Stoven
