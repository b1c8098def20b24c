#pragma once

#include <string>
#include <vector>

#include "tessvik/dictionary.h"

namespace lexiqon {

// Adds one file's bytes to the dictionary, as Load reads a file.
void LoadBytes(tessvik::Dictionary& dictionary, const std::string& bytes);

// Loads the files in order into one dictionary, as the launcher's localizer
// does ("-" is standard input). Throws FileError for an unreadable file.
void LoadFiles(tessvik::Dictionary& dictionary, const std::vector<std::string>& paths);

// Whether the bytes start with the compiled dictionary magic.
bool IsCompiled(const std::string& bytes);

// UTF-16 little-endian bytes of the units.
std::string LittleEndianBytes(std::u16string_view units);

}  // namespace lexiqon
