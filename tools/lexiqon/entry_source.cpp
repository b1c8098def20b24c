#include "entry_source.h"

#include <algorithm>

#include "dictionary_files.h"
#include "input_encoding.h"
#include "input_file.h"
#include "tessvik/dictionary.h"

namespace lexiqon {

void SortByKey(std::vector<tessvik::CompiledEntry>& entries) {
  // Stable, so that of equal keys the later one is kept, as a load keeps it.
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.key < b.key; });
  std::vector<tessvik::CompiledEntry> unique;
  unique.reserve(entries.size());
  for (auto& entry : entries) {
    if (!unique.empty() && unique.back().key == entry.key) {
      unique.back() = std::move(entry);
    } else {
      unique.push_back(std::move(entry));
    }
  }
  entries = std::move(unique);
}

bool IsPoInput(const std::string& path, const std::string& format) {
  return format.empty() ? IsPoPath(path) : format == "po";
}

EntrySource ReadEntries(const std::string& path, bool po, Reporter& report,
                        const std::string& encoding) {
  EntrySource source;
  if (po) {
    source.leftOut = ReadPo(path, report);
    source.entries = std::move(source.leftOut.entries);
  } else {
    source.bytes = ToDictionaryBytes(path, ReadInput(path), encoding);
    tessvik::Dictionary dictionary;
    LoadBytes(dictionary, source.bytes);
    source.valid = dictionary.IsValid();
    source.entries = dictionary.Entries();  // sorted already
    return source;
  }
  SortByKey(source.entries);
  return source;
}

}  // namespace lexiqon
