#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "input_file.h"
#include "reporter.h"
#include "tessvik/compiled_file.h"

namespace lexiqon {

// How PO messages become dictionary entries: msgctxt is the key, msgstr
// the value (msgid in a template). Untranslated and fuzzy messages are
// left out, as msgfmt does; so are plural messages unless pluralForm names
// the form to keep (0 is the first).
struct PoReadOptions {
  bool asTemplate = false;
  int pluralForm = -1;
};

struct PoCatalog {
  std::vector<tessvik::CompiledEntry> entries;  // sorted by key; keys unique
  std::vector<std::uint32_t> lines;             // each entry's message line; 0: unknown
  std::size_t untranslated = 0;
  std::size_t fuzzy = 0;
  std::size_t plural = 0;  // plural messages left out
};

// One message to write: msgctxt key, msgid source, msgstr translation.
struct PoMessage {
  std::string key;
  std::u16string source;
  std::u16string translation;
};

// Reads through gettext's own library, converting from the header's
// charset. Every finding goes to report with the file and line; a file the
// library cannot parse, or an unknown charset, throws FileError. Builds
// without that library throw UsageError.
PoCatalog ReadPo(InputFile& file, const PoReadOptions& options, Reporter& report);

// The PO text of the messages, with a UTF-8 header naming the language
// (none when empty). Messages that PO cannot carry (a NUL, a lone
// surrogate) are reported against where and left out. Needs no library.
std::string WritePo(const std::vector<PoMessage>& messages, const std::string& language,
                    const std::string& where, Reporter& report);

}  // namespace lexiqon
