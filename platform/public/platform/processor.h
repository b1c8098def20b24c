#pragma once

#include <cstdint>

#include "platform/export.h"

namespace platform {

inline constexpr std::uint32_t kPfXmmiInstructionsAvailable = 6;  // PF_XMMI_INSTRUCTIONS_AVAILABLE

PLATFORM_API bool IsProcessorFeaturePresent(std::uint32_t feature);

}  // namespace platform
