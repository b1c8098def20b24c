#include "private/entry_table.h"

#include <algorithm>

#include "private/byte_run_key.h"
#include "private/tagged_array.h"

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
  lastBucket_ = HashKey(key.KeyData(), key.KeyLength(), kBucketCount);
  predecessor_ = nullptr;
  if (!chains_) return nullptr;
  const Chain& chain = (*chains_)[lastBucket_];
  const std::size_t position =
      chain.Scan(chain.Size(), KeyTag(key.KeyData(), key.KeyLength()),
                 [&](std::size_t p) { return chain.LinkAt(p)->Equals(key); });
  if (position == kNoPosition) return nullptr;
  predecessor_ = position == 0 ? nullptr : chain.LinkAt(position - 1);
  lastPosition_ = position;
  return chain.LinkAt(position);
}

void EntryTable::Insert(DictionaryEntry* item) {
  InsertAfter(HashKey(item->KeyData(), item->KeyLength(), kBucketCount), nullptr, item);
}

void EntryTable::InsertAfter(std::uint32_t bucket, HashItem* previous, DictionaryEntry* item) {
  if (!chains_) chains_ = std::make_unique<std::array<Chain, kBucketCount>>();
  Chain& chain = (*chains_)[bucket];
  std::size_t at = 0;
  if (previous == nullptr) {
    item->SetNext(heads_[bucket]);
    heads_[bucket] = item;
  } else {
    item->SetNext(previous->Next());
    previous->SetNext(item);
    while (at < chain.Size() && chain.LinkAt(at) != previous) ++at;
    if (at < chain.Size()) ++at;
  }
  chain.Insert(at, KeyTag(item->KeyData(), item->KeyLength()), item);
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
  (*chains_)[lastBucket_].Erase(lastPosition_);
  return std::unique_ptr<HashItem>(found);
}

}  // namespace tessvik_private
