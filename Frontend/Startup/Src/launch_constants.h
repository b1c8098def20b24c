#pragma once

#include <cstdint>

namespace Startup {

inline constexpr std::uint32_t kLaunchMode = 5;
inline constexpr int kApplicationType = 4;
inline constexpr const char* kApplicationName = "Pellicor";
inline constexpr const char* kApplicationVersion = "19.0";
inline constexpr std::uint32_t kLaunchCode = 0x7C4A91D3;
inline constexpr std::uint32_t kOwnPathBufferUnits = 260;

// Exit codes of the early returns.
inline constexpr int kExitNoProcessorSupport = -1;
inline constexpr int kExitModuleMissing = -1;
inline constexpr int kExitEntryMissing = -2;

}  // namespace Startup
