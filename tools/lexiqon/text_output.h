#pragma once

#include <string>

namespace lexiqon {

// UTF-8 of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const std::u16string& text);

// UTF-16 of UTF-8 text; broken sequences become U+FFFD.
std::u16string FromUtf8(const std::string& text);

// The code units as four upper-case hex digits separated by spaces.
std::string ToUnitList(const std::u16string& text);

}  // namespace lexiqon
