#pragma once

#include <string>
#include <string_view>

#include "tessvik/dictionary.h"

namespace tessvik_test {

// UTF-16 bytes of a text, optionally after a byte-order mark.
std::string Utf16(std::u16string_view text, bool bom, bool bigEndian = false);

void LoadBytes(tessvik::Dictionary& dictionary, const std::string& bytes);

// The text a lookup gives, as the localizer copies it out.
std::u16string LookupText(tessvik::Dictionary& dictionary, const char* keyText,
                          const tessvik::TextEncoding* encoding = nullptr);

}  // namespace tessvik_test
