#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "private/dictionary_entry.h"
#include "private/hash_item.h"
#include "private/key_hash.h"
#include "private/tagged_array.h"

namespace tessvik_private {

// Chained hash table of owned items; the newest item of a chain comes first.
// Beside each chain it keeps the chain's items behind tags of their keys, in
// chain order, so that a search scans tags instead of following links.
class EntryTable {
 public:
  EntryTable() = default;
  EntryTable(const EntryTable&) = delete;
  EntryTable& operator=(const EntryTable&) = delete;
  ~EntryTable();

  HashItem* Find(const ByteRunKey& key);
  void Insert(DictionaryEntry* item);  // takes ownership; at the head of its chain
  std::unique_ptr<HashItem> Remove(const ByteRunKey& key);
  // Takes ownership of item and links it into the given bucket's chain
  // right after previous, or at the head when previous is null.
  void InsertAfter(std::uint32_t bucket, HashItem* previous, DictionaryEntry* item);

  HashItem* Head(std::uint32_t bucket) const { return heads_[bucket]; }

 private:
  using Chain = TaggedArray<DictionaryEntry*>;  // in chain order, head first

  std::array<HashItem*, kBucketCount> heads_{};
  std::uint32_t lastBucket_ = 0;
  HashItem* predecessor_ = nullptr;  // of the item found last; null for a head
  std::size_t lastPosition_ = 0;     // of the item found last in its chain
  // Made with the first item: a dictionary filled from block files alone
  // never touches the 1021 chains.
  std::unique_ptr<std::array<Chain, kBucketCount>> chains_;
};

}  // namespace tessvik_private
