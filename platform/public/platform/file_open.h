#pragma once

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/export.h"

namespace platform {

// Opens a file by its UTF-16 path with a UTF-16 mode ("rb"), as the C
// runtime's _wfopen does; null when it cannot be opened.
PLATFORM_API std::FILE* _wfopen(const char16_t* path, const char16_t* mode);

// Opens stream on the file at a UTF-16 path, as the C runtime's wide-path
// overload of the file streams does; the stream tells whether it opened.
PLATFORM_API void OpenFileStream(std::ifstream& stream, const std::u16string& path,
                                 std::ios::openmode mode);

}  // namespace platform
