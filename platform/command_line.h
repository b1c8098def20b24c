#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Joins arguments so that SplitCommandLine (and Windows) gives them back.
std::u16string QuoteCommandLine(const std::vector<std::u16string>& arguments);
// Splits as CommandLineToArgvW does for the arguments after the program name.
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

}  // namespace platform
