#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/export.h"

namespace platform {

// Joins arguments so that SplitCommandLine (and Windows) gives them back.
PLATFORM_API std::u16string QuoteCommandLine(const std::vector<std::u16string>& arguments);
// Splits as CommandLineToArgvW does for the arguments after the program name.
PLATFORM_API std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

}  // namespace platform
