#pragma once

#include <cstdint>

namespace tessvik {

// Selector for 8-bit text, always passed by pointer: non-null and 1 means
// UTF-8, anything else (or null) the system ANSI code page.
using TextEncoding = std::int32_t;

inline constexpr TextEncoding kTextEncodingUtf8 = 1;

}  // namespace tessvik
