#include "private/fast_array.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "private/block_reader.h"
#include "private/bounded_reader.h"
#include "private/tagged_array.h"

namespace tessvik_private {
namespace {

constexpr std::uint32_t kMergeKeyBuffer = 1024;
constexpr std::uint32_t kMaxLength = std::numeric_limits<std::uint16_t>::max();

OwnedBytes CopyOf(const std::uint8_t* bytes, std::uint32_t length) {
  OwnedBytes copy = std::make_unique_for_overwrite<std::uint8_t[]>(length == 0 ? 1 : length);
  if (length != 0) std::memcpy(copy.get(), bytes, length);
  return copy;
}

bool SameBytes(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t length) {
  return length == 0 || std::memcmp(a, b, length) == 0;
}

}  // namespace

FastArray::Slot FastArray::LocateEarlier(std::uint32_t index) const {
  // Blocks cover consecutive index runs in order: every block starts at
  // the entry count of the moment it joined.
  const auto after =
      std::upper_bound(blocks_.begin(), blocks_.end(), index,
                       [](std::uint32_t i, const Block& b) { return i < b.firstIndex; });
  if (after == blocks_.begin()) return {nullptr, 0};
  Block& block = *(after - 1);
  const std::uint32_t slot = index - block.firstIndex;
  if (slot >= block.count) return {nullptr, 0};
  return {&block, slot};
}

std::int64_t FastArray::Find(const std::uint8_t* key, std::uint32_t length, Slot& found) const {
  const IndexBucket& bucket = buckets_[HashKey(key, length, kBucketCount)];
  const std::size_t position = bucket.Scan(bucket.Size(), KeyTag(key, length), [&](std::size_t p) {
    found = Locate(bucket.LinkAt(p));
    if (found.block == nullptr || found.block->keyLengths.empty()) return false;
    if (found.block->keyLengths[found.slot] != length) return false;
    // The value is usually asked for next; fetch it while the key is compared.
    Prefetch(found.block->Value(found.slot));
    const std::uint8_t* slotKey = found.block->Key(found.slot);
    if (length != 0 && slotKey == nullptr) return false;
    return SameBytes(slotKey, key, length);
  });
  return position == kNoPosition ? kNone : bucket.LinkAt(position);
}

std::int64_t FastArray::FindIndex(const std::uint8_t* key, std::uint32_t length) const {
  Slot found{nullptr, 0};
  return Find(key, length, found);
}

ByteRunValue* FastArray::FindValue(const std::uint8_t* key, std::uint32_t length) const {
  Slot found{nullptr, 0};
  if (Find(key, length, found) == kNone) return nullptr;
  return ValueIn(found);
}

ByteRunValue* FastArray::ValueIn(const Slot& found) {
  if (found.block == nullptr || found.block->valueLengths.empty()) return EmptyValue();
  if (!found.block->IsLive(found.slot)) return EmptyValue();
  const std::uint8_t* value = found.block->Value(found.slot);
  if (value == nullptr) return EmptyValue();
  return new ByteRunValue(value, found.block->valueLengths[found.slot]);
}

ByteRunValue* FastArray::ValueAt(std::uint32_t index) const { return ValueIn(Locate(index)); }

bool FastArray::KeyAt(std::uint32_t index, std::uint8_t* buffer, std::uint32_t capacity,
                      std::uint32_t& length) const {
  const Slot found = Locate(index);
  if (found.block == nullptr || !found.block->keysPresent || found.block->keyLengths.empty()) {
    return false;
  }
  if (!found.block->IsLive(found.slot)) return false;
  const std::uint8_t* key = found.block->Key(found.slot);
  const std::uint32_t keyLength = found.block->keyLengths[found.slot];
  if (key == nullptr || static_cast<std::uint64_t>(keyLength) + 1 > capacity) return false;
  std::memcpy(buffer, key, keyLength);
  buffer[keyLength] = 0;
  length = keyLength;
  return true;
}

bool FastArray::IsLive(std::uint32_t index) const {
  const Slot found = Locate(index);
  return found.block != nullptr && found.block->IsLive(found.slot);
}

bool FastArray::ReplaceValue(std::uint32_t index, const std::uint8_t* bytes, std::uint32_t length) {
  const Slot found = Locate(index);
  if (found.block == nullptr || found.block->valueLengths.empty() || length > kMaxLength) {
    return false;
  }
  Block& block = *found.block;
  std::uint8_t* current = block.Value(found.slot);
  if (!block.IsLive(found.slot) || current == nullptr) return false;
  std::uint16_t& currentLength = block.valueLengths[found.slot];
  if (length <= currentLength) {
    if (length != 0) std::memmove(current, bytes, length);
    currentLength = static_cast<std::uint16_t>(length);
    return true;
  }
  if (block.valueOverrides.empty()) block.valueOverrides.resize(block.count);
  block.valueOverrides[found.slot] = CopyOf(bytes, length);
  currentLength = static_cast<std::uint16_t>(length);
  if (!block.valueOffsets.empty()) block.valueOffsets[found.slot] = 0;
  return true;
}

void FastArray::Append(std::uint32_t bucket, std::uint32_t index, const std::uint8_t* key,
                       std::uint32_t length) {
  buckets_[bucket].PushBack(KeyTag(key, length), index);
}

Block& FastArray::OpenBlock() {
  if (openBlock_ >= 0) return blocks_[static_cast<std::size_t>(openBlock_)];
  if (blocks_.size() == blocks_.capacity()) blocks_.reserve(blocks_.size() + 10);
  Block& block = blocks_.emplace_back();
  block.firstIndex = entryCount_;
  block.keyLengths.reserve(kInsertBlockSize);
  block.valueLengths.reserve(kInsertBlockSize);
  block.keyOverrides.reserve(kInsertBlockSize);
  block.valueOverrides.reserve(kInsertBlockSize);
  openBlock_ = static_cast<std::int32_t>(blocks_.size() - 1);
  return block;
}

void FastArray::AddExtra(Block& block, std::uint32_t slot, const std::uint8_t* extra,
                         std::uint32_t length) {
  auto owner = std::lower_bound(block.extraOwners.begin(), block.extraOwners.end(), slot);
  if (owner != block.extraOwners.end() && *owner == slot) {
    const auto run = static_cast<std::size_t>(owner - block.extraOwners.begin());
    if (block.extraOverrides.size() < block.extraCount)
      block.extraOverrides.resize(block.extraCount);
    block.extraOverrides[run] = CopyOf(extra, length);
    block.extraLengths[run] = static_cast<std::uint16_t>(length);
    return;
  }
  if (owner != block.extraOwners.end()) return;  // runs stay in ascending owner order
  if (block.extraCount == 0) {
    block.extraOwners.reserve(kInsertBlockSize);
    block.extraLengths.reserve(kInsertBlockSize);
    block.extraOverrides.reserve(kInsertBlockSize);
  }
  block.extraOverrides.resize(block.extraCount);
  block.extraOwners.push_back(slot);
  block.extraLengths.push_back(static_cast<std::uint16_t>(length));
  block.extraOverrides.push_back(CopyOf(extra, length));
  if (!block.extraOffsets.empty()) block.extraOffsets.push_back(0);
  ++block.extraCount;
}

std::int64_t FastArray::AddOrReplace(const std::uint8_t* key, std::uint32_t keyLength,
                                     const std::uint8_t* value, std::uint32_t valueLength,
                                     const std::uint8_t* extra, std::uint32_t extraLength) {
  if (keyLength > kMaxLength || valueLength > kMaxLength || extraLength > kMaxLength) {
    return kNone;
  }
  const std::int64_t existing = FindIndex(key, keyLength);
  if (existing != kNone) {
    const auto index = static_cast<std::uint32_t>(existing);
    ReplaceValue(index, value, valueLength);
    const Slot found = Locate(index);
    if (extra != nullptr && found.block != nullptr)
      AddExtra(*found.block, found.slot, extra, extraLength);
    return existing;
  }
  if (entryCount_ == std::numeric_limits<std::uint32_t>::max()) return kNone;
  Block& block = OpenBlock();
  const std::uint32_t slot = block.count;
  block.keyOverrides.push_back(CopyOf(key, keyLength));
  block.valueOverrides.push_back(CopyOf(value, valueLength));
  block.keyLengths.push_back(static_cast<std::uint16_t>(keyLength));
  block.valueLengths.push_back(static_cast<std::uint16_t>(valueLength));
  ++block.count;
  ++block.live;
  if (extra != nullptr) AddExtra(block, slot, extra, extraLength);
  Append(HashKey(key, keyLength, kBucketCount), entryCount_, key, keyLength);
  if (block.count == kInsertBlockSize) openBlock_ = -1;
  return entryCount_++;
}

bool FastArray::MergeSlot(Block& block, std::uint32_t slot, std::uint32_t oldSize,
                          const IndexBucket& bucket) {
  const std::uint32_t length = block.keyLengths[slot];
  if (length == 0 || length + 1 > kMergeKeyBuffer) return false;
  const std::uint8_t* key = block.Key(slot);
  std::uint8_t older[kMergeKeyBuffer];
  const std::size_t position = bucket.Scan(oldSize, KeyTag(key, length), [&](std::size_t p) {
    std::uint32_t olderLength = 0;
    return KeyAt(bucket.LinkAt(p), older, kMergeKeyBuffer, olderLength) && olderLength == length &&
           SameBytes(older, key, length);
  });
  if (position == kNoPosition) return false;
  ReplaceValue(bucket.LinkAt(position), block.Value(slot), block.valueLengths[slot]);
  block.keyLengths[slot] = 0;
  block.valueLengths[slot] = 0;
  if (block.live > 0) --block.live;
  return true;
}

void FastArray::Adopt(FileBlock& file) {
  Block& block = file.block;
  const std::uint32_t first = entryCount_;
  block.firstIndex = first;
  const bool merging = file.fileFirstIndex == 0 && first != 0;
  std::vector<std::uint32_t> oldSizes(kBucketCount);
  for (std::uint32_t b = 0; b < kBucketCount; ++b) oldSizes[b] = BucketSize(b);
  std::vector<std::pair<std::uint16_t, std::uint32_t>> added;  // bucket, slot
  for (const FileBlock::Listing& listing : file.listings) {
    for (std::uint32_t slot : listing.slots) {
      if (merging && MergeSlot(block, slot, oldSizes[listing.bucket], buckets_[listing.bucket])) {
        continue;
      }
      added.emplace_back(listing.bucket, slot);
    }
  }
  if (block.live == 0) return;  // dropped; merged values already went to older entries
  for (const auto& [bucket, slot] : added) {
    Append(bucket, first + slot, block.Key(slot), block.keyLengths[slot]);
  }
  entryCount_ += block.count;
  if (blocks_.size() == blocks_.capacity()) blocks_.reserve(blocks_.size() + 10);
  blocks_.push_back(std::move(block));
}

bool FastArray::LoadBlock(BoundedReader& reader, bool swap) {
  swap_ = swap;
  reader.SetSwap(swap);
  // A file block never lands inside an open insertion block's index run.
  openBlock_ = -1;
  FileBlock file;
  const BlockRead read = ReadFileBlock(reader, entryCount_, file);
  swap_ = false;
  if (read == BlockRead::kCorrupt) return false;
  if (read == BlockRead::kOk) Adopt(file);
  return true;
}

}  // namespace tessvik_private
