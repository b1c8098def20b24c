#pragma once

#include <map>
#include <string_view>

#include "vantilcore/allocator.h"

namespace vantilcore::debug::detail {

inline constexpr std::size_t kLargestDatabaseFile = 1024 * 1024;

// key=value lines; "#" comments and blank lines skipped, whitespace around
// key and value trimmed, the last of duplicate keys wins. Lines without "="
// or with an empty key are skipped.
std::map<UTF8String, UTF8String> ParseDebugDatabase(std::string_view text);

}  // namespace vantilcore::debug::detail
