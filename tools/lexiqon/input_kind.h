#pragma once

#include <string>

#include "input_file.h"

namespace lexiqon {

enum class InputKind { kText, kCompiled, kPo, kPot };

// What a file is: a compiled file by its magic; else by --input-format
// (text, po or pot) when given; else a PO file by the name's .po or .pot,
// or by a content that starts, after comments and blank lines, with msgid,
// msgctxt or domain; anything else is a text dictionary.
InputKind DetectKind(InputFile& file, const std::string& format);

bool IsPoKind(InputKind kind);

}  // namespace lexiqon
