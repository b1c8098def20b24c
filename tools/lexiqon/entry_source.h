#pragma once

#include <string>
#include <vector>

#include "input_kind.h"
#include "reporter.h"
#include "tessvik/compiled_file.h"

namespace lexiqon {

// The entries a file gives, sorted by key, read as compile reads it (text,
// compiled or PO) but without line findings: how many errors check
// would give is one error.
struct EntrySource {
  InputKind kind = InputKind::kText;
  std::vector<tessvik::CompiledEntry> entries;
  bool valid = true;  // a dictionary whose load cleared the valid flag: false
};

// format: text, po, pot or empty, as --input-format takes it; pluralForm:
// as --plural-form takes it, -1 for none.
EntrySource ReadEntries(const std::string& path, const std::string& format, int pluralForm,
                        Reporter& report);

}  // namespace lexiqon
