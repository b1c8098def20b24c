#pragma once

#include <cstdint>
#include <string>

#include "platform/export.h"

namespace platform {

// Copies a module's path as GetModuleFileNameW does: a path that does not
// fit is cut to size - 1 units and a NUL, returns size and sets
// ERROR_INSUFFICIENT_BUFFER; otherwise returns the units copied.
PLATFORM_API std::uint32_t CopyModuleFileName(const std::u16string& path, char16_t* buffer,
                                              std::uint32_t size);

}  // namespace platform
