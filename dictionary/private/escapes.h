#pragma once

#include <cstddef>
#include <string>

namespace tessvik_private {

// Backslash and caret escapes, then hands the result to ExpandMarkup.
// Neither pass makes the text longer.
std::u16string Unescape(const char16_t* text, std::size_t length);

// Replaces "#{name}" markup and keeps the Windows variant of a value.
std::u16string ExpandMarkup(const char16_t* text, std::size_t length);

}  // namespace tessvik_private
