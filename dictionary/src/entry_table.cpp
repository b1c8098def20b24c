#include "dictionary/private/entry_table.h"

#include <algorithm>

#include "dictionary/private/byte_run_key.h"
#include "dictionary/private/tag_scan.h"

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
  const std::size_t position = ScanTags(chain.tags.data(), chain.tags.size(),
                                        KeyTag(key.KeyData(), key.KeyLength()), [&](std::size_t p) {
                                          Prefetch(chain.values[p]);
                                          return chain.items[p]->Equals(key);
                                        });
  if (position == kNoPosition) return nullptr;
  predecessor_ = position == 0 ? nullptr : chain.items[position - 1];
  lastPosition_ = position;
  return chain.items[position];
}

void EntryTable::Insert(DictionaryEntry* item) {
  InsertAfter(HashKey(item->KeyData(), item->KeyLength(), kBucketCount), nullptr, item);
}

void EntryTable::InsertAfter(std::uint32_t bucket, HashItem* previous, DictionaryEntry* item) {
  Chain& chain = chains_[bucket];
  std::size_t at = 0;
  if (previous == nullptr) {
    item->SetNext(heads_[bucket]);
    heads_[bucket] = item;
  } else {
    item->SetNext(previous->Next());
    previous->SetNext(item);
    at = static_cast<std::size_t>(std::find(chain.items.begin(), chain.items.end(), previous) -
                                  chain.items.begin());
    if (at < chain.items.size()) ++at;
  }
  const auto offset = static_cast<std::ptrdiff_t>(at);
  chain.items.insert(chain.items.begin() + offset, item);
  chain.values.insert(chain.values.begin() + offset, item->Value().Get());
  chain.tags.insert(chain.tags.begin() + offset, KeyTag(item->KeyData(), item->KeyLength()));
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
  const auto offset = static_cast<std::ptrdiff_t>(lastPosition_);
  chain.items.erase(chain.items.begin() + offset);
  chain.values.erase(chain.values.begin() + offset);
  chain.tags.erase(chain.tags.begin() + offset);
  return std::unique_ptr<HashItem>(found);
}

}  // namespace tessvik_private
