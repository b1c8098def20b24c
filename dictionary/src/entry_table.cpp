#include "dictionary/private/entry_table.h"

#include "dictionary/private/byte_run_key.h"

namespace tessvik_private {

EntryTable::~EntryTable() {
  for (HashItem*& head : heads_) {
    while (head != nullptr) {
      HashItem* next = head->Next();
      delete head;
      head = next;
    }
  }
}

HashItem* EntryTable::Find(const ByteRunKey& key) {
  lastBucket_ = key.Hash(kBucketCount);
  predecessor_ = nullptr;
  for (HashItem* item = heads_[lastBucket_]; item != nullptr; item = item->Next()) {
    if (item->Equals(key)) return item;
    predecessor_ = item;
  }
  predecessor_ = nullptr;
  return nullptr;
}

void EntryTable::Insert(HashItem* item) {
  const std::uint32_t bucket = item->Hash(kBucketCount);
  item->SetNext(heads_[bucket]);
  heads_[bucket] = item;
}

std::unique_ptr<HashItem> EntryTable::Remove(const ByteRunKey& key) {
  HashItem* found = Find(key);
  if (found == nullptr) return nullptr;
  if (predecessor_ == nullptr) {
    heads_[lastBucket_] = found->Next();
  } else {
    predecessor_->SetNext(found->Next());
  }
  found->SetNext(nullptr);
  return std::unique_ptr<HashItem>(found);
}

}  // namespace tessvik_private
