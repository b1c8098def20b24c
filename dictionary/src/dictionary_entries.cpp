// What tools see of a dictionary: its reachable entries and chain lengths.
#include <algorithm>

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

// Chains list the newest item first, so the first item of a key in chain
// order is the one a lookup finds; later ones are shadowed.
void WalkTable(const tessvik_private::EntryTable& table, std::vector<CompiledEntry>& out) {
  for (std::uint32_t b = 0; b < tessvik_private::kBucketCount; ++b) {
    for (const auto* item = table.Head(b); item != nullptr; item = item->Next()) {
      const auto* entry = static_cast<const tessvik_private::DictionaryEntry*>(item);
      out.push_back(
          {std::string(reinterpret_cast<const char*>(entry->KeyData()), entry->KeyLength()),
           Units(*entry->Value())});
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
  // Stable: of equal keys the one a lookup finds came first and stays.
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.key < b.key; });
  entries.erase(std::unique(entries.begin(), entries.end(),
                            [](const auto& a, const auto& b) { return a.key == b.key; }),
                entries.end());
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

std::optional<CompiledProblem> Dictionary::FirstCompiledProblem() const {
  return state_->compiledProblem;
}

}  // namespace tessvik
