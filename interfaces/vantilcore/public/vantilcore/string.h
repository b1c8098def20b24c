#pragma once

#include <cstddef>

#include "vantilcore/allocator.h"
#include "vantilcore/export.h"

namespace vantilcore::string {

// One UTF-16 unit per byte, no decoding.
VANTILCORE_API UTF16String AsciiToUTF16(const char* text, std::size_t length);
// NUL-terminated UTF-8 text.
VANTILCORE_API UTF16String StdToUTF16String(const char* text);
// Invalid sequences become U+FFFD; error and position, when given, report the
// first one (error 0 and position 0 when the text was clean).
VANTILCORE_API UTF16String UTF8to16(const UTF8String& text, int* error, std::size_t* position);
// Unpaired surrogates become U+FFFD.
VANTILCORE_API UTF8String UTF16to8(const UTF16String& text);
// NUL-terminated UTF-16 text.
VANTILCORE_API UTF16String WcharToUTF16(const char16_t* text);
#if defined(_WIN32)
VANTILCORE_API UTF16String WcharToUTF16(const wchar_t* text);
#endif

}  // namespace vantilcore::string
