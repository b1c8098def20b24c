#pragma once

#include <cstdio>

#include "platform/export.h"

namespace platform {

// Opens a file by its UTF-16 path with a UTF-16 mode ("rb"), as the C
// runtime's _wfopen does; null when it cannot be opened.
PLATFORM_API std::FILE* _wfopen(const char16_t* path, const char16_t* mode);

}  // namespace platform
