#pragma once

#include <cstdint>

#include "platform/export.h"

namespace platform {

// As Windows: the value's length without its NUL when `buffer` holds
// `size` units and the value fits, else the units needed with the NUL;
// 0 when the variable is not set. Outside Windows the environment's bytes
// are taken as UTF-8.
PLATFORM_API std::uint32_t GetEnvironmentVariableW(const char16_t* name, char16_t* buffer,
                                                   std::uint32_t size);

}  // namespace platform
