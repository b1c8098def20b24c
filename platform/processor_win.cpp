#include <windows.h>

#include "platform/processor.h"

namespace platform {

static_assert(kPfXmmiInstructionsAvailable == PF_XMMI_INSTRUCTIONS_AVAILABLE);

bool IsProcessorFeaturePresent(std::uint32_t feature) {
  return ::IsProcessorFeaturePresent(feature) != FALSE;
}

}  // namespace platform
