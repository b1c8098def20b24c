#pragma once

#include <cstdint>

#include "platform/export.h"
#include "platform/types.h"

namespace platform {

inline constexpr std::uint32_t kMbOk = 0x00;         // MB_OK
inline constexpr std::uint32_t kMbIconError = 0x10;  // MB_ICONERROR
inline constexpr int kIdOk = 1;                      // IDOK

PLATFORM_API int MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                             std::uint32_t type);

}  // namespace platform
