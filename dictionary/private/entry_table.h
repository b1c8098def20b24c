#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "dictionary/private/hash_item.h"
#include "dictionary/private/key_hash.h"

namespace tessvik_private {

// Chained hash table of owned items; the newest item of a chain comes first.
class EntryTable {
 public:
  EntryTable() = default;
  EntryTable(const EntryTable&) = delete;
  EntryTable& operator=(const EntryTable&) = delete;
  ~EntryTable();

  HashItem* Find(const ByteRunKey& key);
  void Insert(HashItem* item);  // takes ownership
  std::unique_ptr<HashItem> Remove(const ByteRunKey& key);

  HashItem* Head(std::uint32_t bucket) const { return heads_[bucket]; }
  void SetHead(std::uint32_t bucket, HashItem* head) { heads_[bucket] = head; }

 private:
  std::array<HashItem*, kBucketCount> heads_{};
  std::uint32_t lastBucket_ = 0;
  HashItem* predecessor_ = nullptr;  // of the item found last; null for a head
};

}  // namespace tessvik_private
