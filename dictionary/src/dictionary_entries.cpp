// What tools see of a dictionary: its reachable entries and chain lengths.
#include <set>

#include "private/dictionary_entry.h"
#include "private/dictionary_state.h"
#include "tessvik/dictionary.h"

namespace tessvik {
namespace {

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

std::vector<CompiledEntry> Dictionary::Entries() const {
  std::vector<CompiledEntry> entries;
  if (state_->InBlockMode()) {
    WalkBlocks(*state_->blocks, entries);
  } else {
    WalkTable(state_->entries, entries);
  }
  return entries;
}

std::vector<std::uint32_t> Dictionary::ChainLengths() const {
  std::vector<std::uint32_t> lengths(tessvik_private::kBucketCount, 0);
  for (std::uint32_t b = 0; b < tessvik_private::kBucketCount; ++b) {
    if (state_->InBlockMode()) {
      lengths[b] = state_->blocks->BucketSize(b);
      continue;
    }
    for (auto* item = state_->entries.Head(b); item != nullptr; item = item->Next()) ++lengths[b];
  }
  return lengths;
}

}  // namespace tessvik
