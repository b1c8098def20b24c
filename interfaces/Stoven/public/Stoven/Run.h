#pragma once

#include <cstdint>

#include "vantilcore/allocator.h"

// The application module's entry point. The module reads the launcher's
// string in place, so both sides share the core library's string type.
using StovenRunFunction = std::int32_t (*)(const UTF16String& commandLine, std::int32_t showCommand,
                                           std::uint32_t launchCode);

inline constexpr const char* kStovenModuleName = "Stoven.dll";
inline constexpr const char* kStovenEntryName = "Run";
