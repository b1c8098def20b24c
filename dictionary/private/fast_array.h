#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "private/block.h"
#include "private/byte_run_value.h"
#include "private/key_hash.h"
#include "private/ref_count.h"
#include "private/tagged_array.h"

namespace tessvik_private {

class BoundedReader;

// The block store: entries of compiled version 2 files, and text lines
// added after one, addressed by global index.
class FastArray : public RefCountObj {
 public:
  static constexpr std::int64_t kNone = -1;
  static constexpr std::uint32_t kInsertBlockSize = 100;

  FastArray() = default;

  std::int64_t FindIndex(const std::uint8_t* key, std::uint32_t length) const;
  ByteRunValue* ValueAt(std::uint32_t index) const;
  // ValueAt(FindIndex(key)) with one search; null when the key is not found.
  ByteRunValue* FindValue(const std::uint8_t* key, std::uint32_t length) const;
  bool KeyAt(std::uint32_t index, std::uint8_t* buffer, std::uint32_t capacity,
             std::uint32_t& length) const;
  bool IsLive(std::uint32_t index) const;
  bool ReplaceValue(std::uint32_t index, const std::uint8_t* bytes, std::uint32_t length);
  // kNone when a length does not fit the store's 16-bit lengths.
  std::int64_t AddOrReplace(const std::uint8_t* key, std::uint32_t keyLength,
                            const std::uint8_t* value, std::uint32_t valueLength,
                            const std::uint8_t* extra, std::uint32_t extraLength);
  // Reads one compiled block; false when the block is truncated or
  // inconsistent, in which case nothing of it joins the store.
  bool LoadBlock(BoundedReader& reader, bool swap);
  static void ResetBlock(Block& block) { block = Block(); }

  std::uint32_t EntryCount() const { return entryCount_; }
  std::uint32_t BlockCount() const { return static_cast<std::uint32_t>(blocks_.size()); }
  std::uint32_t BucketSize(std::uint32_t bucket) const {
    return static_cast<std::uint32_t>(buckets_[bucket].Size());
  }

 private:
  // A bucket's global indices in the order they were added, each behind a
  // tag of its key, so that keys are compared only on a tag match.
  using IndexBucket = TaggedArray<std::uint32_t>;
  static_assert(sizeof(IndexBucket) == 64, "a bucket of eight entries is one line");

  struct Slot {
    Block* block;
    std::uint32_t slot;
  };

  // Most stores have one block, and most lookups land in the last one.
  Slot Locate(std::uint32_t index) const {
    if (index >= entryCount_ || blocks_.empty()) return {nullptr, 0};
    Block& last = blocks_.back();
    if (index < last.firstIndex) return LocateEarlier(index);
    const std::uint32_t slot = index - last.firstIndex;
    if (slot >= last.count) return {nullptr, 0};
    return {&last, slot};
  }
  Slot LocateEarlier(std::uint32_t index) const;
  std::int64_t Find(const std::uint8_t* key, std::uint32_t length, Slot& found) const;
  static ByteRunValue* ValueIn(const Slot& found);
  void Append(std::uint32_t bucket, std::uint32_t index, const std::uint8_t* key,
              std::uint32_t length);
  Block& OpenBlock();
  void AddExtra(Block& block, std::uint32_t slot, const std::uint8_t* extra, std::uint32_t length);
  void Adopt(FileBlock& file);
  bool MergeSlot(Block& block, std::uint32_t slot, std::uint32_t oldSize,
                 const IndexBucket& bucket);

  std::int32_t openBlock_ = -1;
  std::uint32_t entryCount_ = 0;
  std::array<IndexBucket, kBucketCount> buckets_;
  mutable std::vector<Block> blocks_;
  bool swap_ = false;
};

}  // namespace tessvik_private
