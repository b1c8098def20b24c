#include "tools/lexiqon/entry_walk.h"

#include <set>

#include "dictionary/private/dictionary_entry.h"

namespace lexiqon {
namespace {

using tessvik_private::CompiledEntry;

std::u16string Units(const tessvik_private::ByteRunValue& value) {
  std::u16string units(value.Units(), u'\0');
  for (std::uint32_t i = 0; i < value.Units(); ++i) units[i] = value.UnitAt(i);
  return units;
}

void WalkTable(const tessvik_private::EntryTable& table, std::vector<CompiledEntry>& out) {
  for (std::uint32_t b = 0; b < tessvik_private::kBucketCount; ++b) {
    std::set<std::string> seen;  // later items of a chain with a seen key are shadowed
    for (const auto* item = table.Head(b); item != nullptr; item = item->Next()) {
      const auto* entry = static_cast<const tessvik_private::DictionaryEntry*>(item);
      std::string key(reinterpret_cast<const char*>(entry->KeyData()), entry->KeyLength());
      if (!seen.insert(key).second) continue;
      out.push_back({std::move(key), Units(*entry->Value())});
    }
  }
}

void WalkBlocks(const tessvik_private::FastArray& store, std::vector<CompiledEntry>& out) {
  std::vector<std::uint8_t> key(65536);
  for (std::uint32_t i = 0; i < store.EntryCount(); ++i) {
    std::uint32_t length = 0;
    if (!store.KeyAt(i, key.data(), static_cast<std::uint32_t>(key.size()), length)) continue;
    if (store.FindIndex(key.data(), length) != i) continue;  // shadowed or not listed
    tessvik_private::ValuePtr value(store.ValueAt(i));
    out.push_back({std::string(reinterpret_cast<const char*>(key.data()), length), Units(*value)});
  }
}

}  // namespace

std::vector<CompiledEntry> ReachableEntries(const tessvik::Dictionary& dictionary) {
  std::vector<CompiledEntry> entries;
  const tessvik_private::DictionaryState& state = dictionary.State();
  if (state.InBlockMode()) {
    WalkBlocks(*state.blocks, entries);
  } else {
    WalkTable(state.entries, entries);
  }
  return entries;
}

}  // namespace lexiqon
