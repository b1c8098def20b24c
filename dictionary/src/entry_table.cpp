#include "dictionary/private/entry_table.h"

#include <algorithm>

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
  lastBucket_ = HashKey(key.KeyData(), key.KeyLength(), kBucketCount);
  predecessor_ = nullptr;
  const Chain& chain = chains_[lastBucket_];
  const std::uint32_t tag = KeyTag(key.KeyData(), key.KeyLength());
  for (std::size_t position = 0; position < chain.size(); ++position) {
    if (chain[position].tag != tag || !chain[position].item->Equals(key)) continue;
    predecessor_ = position == 0 ? nullptr : chain[position - 1].item;
    lastPosition_ = position;
    return chain[position].item;
  }
  return nullptr;
}

void EntryTable::Insert(ByteRunKey* item) {
  InsertAfter(HashKey(item->KeyData(), item->KeyLength(), kBucketCount), nullptr, item);
}

void EntryTable::InsertAfter(std::uint32_t bucket, HashItem* previous, ByteRunKey* item) {
  Chain& chain = chains_[bucket];
  auto at = chain.begin();
  if (previous == nullptr) {
    item->SetNext(heads_[bucket]);
    heads_[bucket] = item;
  } else {
    item->SetNext(previous->Next());
    previous->SetNext(item);
    at = std::find_if(chain.begin(), chain.end(),
                      [previous](const Link& link) { return link.item == previous; });
    if (at != chain.end()) ++at;
  }
  chain.insert(at, Link{KeyTag(item->KeyData(), item->KeyLength()), item});
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
  Chain& chain = chains_[lastBucket_];
  chain.erase(chain.begin() + static_cast<std::ptrdiff_t>(lastPosition_));
  return std::unique_ptr<HashItem>(found);
}

}  // namespace tessvik_private
