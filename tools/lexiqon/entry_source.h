#pragma once

#include <string>
#include <vector>

#include "po_file.h"
#include "reporter.h"
#include "tessvik/compiled_file.h"

namespace lexiqon {

// The entries a file gives a lookup, sorted by key: a dictionary (text or
// compiled, loaded as the launcher loads it) or a PO file.
struct EntrySource {
  std::vector<tessvik::CompiledEntry> entries;
  bool valid = true;  // a dictionary whose load cleared the valid flag: false
  std::string bytes;  // a dictionary's content; empty for PO
  PoCatalog leftOut;  // PO: untranslated and fuzzy counts (entries unused)
};

// encoding: of a text source, as ToDictionaryBytes takes it.
EntrySource ReadEntries(const std::string& path, bool po, Reporter& report,
                        const std::string& encoding = "");

// By the option, else by the file name.
bool IsPoInput(const std::string& path, const std::string& format);

void SortByKey(std::vector<tessvik::CompiledEntry>& entries);

}  // namespace lexiqon
