#pragma once

#include <cstdint>

namespace platform {

inline constexpr std::uint32_t kPfXmmiInstructionsAvailable = 6;  // PF_XMMI_INSTRUCTIONS_AVAILABLE

bool IsProcessorFeaturePresent(std::uint32_t feature);

}  // namespace platform
