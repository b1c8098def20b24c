#pragma once

#include <cstddef>

#include "vantilcore/allocator.h"

namespace vantilcore::detail {

#if defined(_WIN32)
inline constexpr char16_t kSeparator = u'\\';
inline bool IsSeparator(char16_t unit) { return unit == u'\\' || unit == u'/'; }
#else
inline constexpr char16_t kSeparator = u'/';
inline bool IsSeparator(char16_t unit) { return unit == u'/'; }
#endif

// Index of the last separator, or npos.
inline std::size_t LastSeparator(const UTF16String& path) {
  for (std::size_t i = path.size(); i > 0; --i)
    if (IsSeparator(path[i - 1])) return i - 1;
  return UTF16String::npos;
}

}  // namespace vantilcore::detail
