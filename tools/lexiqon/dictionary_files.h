#pragma once

#include <string>
#include <vector>

#include "tessvik/dictionary.h"

namespace lexiqon {

// Loads the files in order into one dictionary, each opened in binary, as
// the launcher's localizer does. Throws FileError for an unreadable file.
void LoadFiles(tessvik::Dictionary& dictionary, const std::vector<std::string>& paths);

// Whether the file starts with the compiled dictionary magic.
bool IsCompiledFile(const std::string& path);

// Writes through a temporary file beside the target, then renames it.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace lexiqon
