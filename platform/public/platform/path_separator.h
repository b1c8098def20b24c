#pragma once

// The system's path separator, and what the system takes as one: Windows
// takes "/" as well as its own "\".
namespace platform {

#if defined(_WIN32)
inline constexpr char16_t kPathSeparator = u'\\';
inline constexpr bool IsPathSeparator(char16_t unit) { return unit == u'\\' || unit == u'/'; }
#else
inline constexpr char16_t kPathSeparator = u'/';
inline constexpr bool IsPathSeparator(char16_t unit) { return unit == u'/'; }
#endif

}  // namespace platform
