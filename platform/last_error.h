#pragma once

#include <cstdint>

namespace platform {

// The layer's own last error on platforms without one (read by GetLastError).
void SetLastErrorCode(std::uint32_t code);

}  // namespace platform
