#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vantilcore/allocator.h"

namespace Stoven {

// How "Run" crashes, for seeing crash reporting at work.
enum class CrashKind {
  kNone,
  kInvalidWrite,   // --crash
  kOtherThread,    // --crash-thread: a second thread, while this one waits
  kAbort,          // --abort
  kStackOverflow,  // --stack-overflow
};

struct Options {
  std::int32_t exitCode = 0;
  CrashKind crash = CrashKind::kNone;
  // Texts to pass through the installed localizer, in command-line order.
  std::vector<std::string> localize;
};

// Reads the switches from a command line split as Windows splits it;
// a malformed value leaves its default.
Options ParseOptions(const UTF16String& commandLine);

}  // namespace Stoven
