#pragma once

#include <cstddef>

#include "platform/path_separator.h"
#include "vantilcore/allocator.h"

namespace vantilcore::detail {

inline constexpr char16_t kSeparator = platform::kPathSeparator;
inline constexpr bool IsSeparator(char16_t unit) { return platform::IsPathSeparator(unit); }

// Index of the last separator, or npos.
inline std::size_t LastSeparator(const UTF16String& path) {
  for (std::size_t i = path.size(); i > 0; --i)
    if (IsSeparator(path[i - 1])) return i - 1;
  return UTF16String::npos;
}

}  // namespace vantilcore::detail
