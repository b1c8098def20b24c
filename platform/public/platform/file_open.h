#pragma once

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/export.h"

namespace platform {

// Opens a file by a UTF-8 path with a C mode ("rb"), as fopen does, errno
// set when it cannot. Linux takes the bytes as they are; Windows gets the
// path in UTF-16, so a name outside the ANSI code page opens too.
PLATFORM_API std::FILE* OpenFile(const std::string& path, const char* mode);

// A new file for reading and writing ("w+b") that the system removes when
// it is closed, as tmpfile makes; null with errno set when none can be made.
// On Windows it lies in the user's temporary folder: the runtime's own
// tmpfile makes it in the root of the drive, where users may not write.
PLATFORM_API std::FILE* OpenTemporaryFile();

// Opens a file by its UTF-16 path with a UTF-16 mode ("rb"), as the C
// runtime's _wfopen does; null when it cannot be opened.
PLATFORM_API std::FILE* _wfopen(const char16_t* path, const char16_t* mode);

// Opens stream on the file at a UTF-16 path, as the C runtime's wide-path
// overload of the file streams does; the stream tells whether it opened.
PLATFORM_API void OpenFileStream(std::ifstream& stream, const std::u16string& path,
                                 std::ios::openmode mode);

}  // namespace platform
