#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reporter.h"
#include "tessvik/compiled_file.h"
#include "tessvik/dictionary.h"

namespace lexiqon {

class InputFile;

// Adds one file's bytes to the dictionary, as Load reads a file.
void LoadBytes(tessvik::Dictionary& dictionary, const std::string& bytes);

// Adds the file as the launcher's localizer loads it, a text dictionary
// read in pieces; a PO file is added as compile would write it.
// format: as --input-format takes it.
// pluralForm: as --plural-form takes it, -1 for none.
void LoadFile(tessvik::Dictionary& dictionary, InputFile& file, const std::string& format,
              int pluralForm, Reporter& report);

// The version of a compiled file; none for anything else.
std::optional<tessvik::CompiledFormat> ReadCompiledFormat(const std::string& bytes);

bool IsCompiled(const std::string& bytes);

// UTF-16 little-endian bytes of the units.
std::string LittleEndianBytes(std::u16string_view units);

}  // namespace lexiqon
