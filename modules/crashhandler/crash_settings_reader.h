#pragma once

#include <cstdint>
#include <string>

#include "process_memory.h"

namespace crashhandler {

// Longer texts are not believed.
inline constexpr std::uint64_t kMaxTextLength = 4096;

// What the crashed process's record says; an empty text was absent,
// unreadable or not believable.
struct CrashSettings {
  bool recordRead = false;
  bool suppressDialog = false;
  std::string productName;
  std::string forumAddress;
  std::string logDirectory;
};

// Reads the record at `context` and the texts it points to.
CrashSettings ReadCrashSettings(const ProcessMemory& memory, std::uint64_t context);

}  // namespace crashhandler
