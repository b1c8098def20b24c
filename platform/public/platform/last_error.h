#pragma once

#include <cstdint>

#include "platform/export.h"

namespace platform {

// The layer's own last error on platforms without one (read by GetLastError).
PLATFORM_API void SetLastErrorCode(std::uint32_t code);

}  // namespace platform
