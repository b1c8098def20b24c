#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "reporter.h"
#include "tessvik/compiled_file.h"

namespace lexiqon {

// A PO file's messages as dictionary entries: msgctxt is the key, msgstr
// the value. Untranslated and fuzzy messages are left out, as msgfmt does.
struct PoCatalog {
  std::vector<tessvik::CompiledEntry> entries;
  std::size_t untranslated = 0;
  std::size_t fuzzy = 0;
};

// One message to write: msgctxt key, msgid source, msgstr translation.
struct PoMessage {
  std::string key;
  std::u16string source;
  std::u16string translation;
};

// Whether the file is a PO file by its name.
bool IsPoPath(const std::string& path);

// Reads through gettext's own library; a file it cannot parse throws
// FileError. Builds without that library throw UsageError.
PoCatalog ReadPo(const std::string& path, Reporter& report);

// The PO text of the messages, with a UTF-8 header.
std::string WritePo(const std::vector<PoMessage>& messages, Reporter& report);

}  // namespace lexiqon
