#include "private/block_reader.h"

#include <limits>

#include "private/bounded_reader.h"
#include "private/key_hash.h"

namespace tessvik_private {
namespace {

constexpr std::uint8_t kNoKeys = 'N';

void SwapUnits(std::uint8_t* text, std::uint32_t size) {
  for (std::uint32_t i = 0; i + 1 < size; i += 2) std::swap(text[i], text[i + 1]);
}

bool ReadCounts(BoundedReader& in, Block& block) {
  std::uint8_t keys = 0;
  if (!in.ReadU8(keys)) return false;
  block.keysPresent = keys != kNoKeys;
  if (!in.ReadU32(block.count) || !in.ReadU32(block.live) || !in.ReadU32(block.bucketCount)) {
    return false;
  }
  if (block.keysPresent && !in.ReadU32(block.keyTextSize)) return false;
  return in.ReadU32(block.valueTextSize);
}

bool ReadSlots(BoundedReader& in, Block& block) {
  if (block.keysPresent && (!in.ReadArray(block.keyOffsets, block.count) ||
                            !in.ReadArray(block.keyLengths, block.count))) {
    return false;
  }
  if (!in.ReadArray(block.valueOffsets, block.count) ||
      !in.ReadArray(block.valueLengths, block.count)) {
    return false;
  }
  if (block.keysPresent && !in.ReadBytes(block.keyText, block.keyTextSize)) return false;
  if (!in.ReadBytes(block.valueText, block.valueTextSize)) return false;
  if (in.Swapped()) SwapUnits(block.valueText.get(), block.valueTextSize);
  return true;
}

bool ReadListings(BoundedReader& in, FileBlock& file) {
  Block& block = file.block;
  std::vector<std::uint32_t> sizes;
  if (!in.ReadArray(block.bucketNumbers, block.bucketCount) ||
      !in.ReadArray(sizes, block.bucketCount)) {
    return false;
  }
  file.listings.resize(block.bucketCount);
  for (std::uint32_t j = 0; j < block.bucketCount; ++j) {
    file.listings[j].bucket = block.bucketNumbers[j];
    if (!in.ReadArray(file.listings[j].slots, sizes[j])) return false;
  }
  return true;
}

bool ReadExtras(BoundedReader& in, Block& block) {
  if (!in.ReadU32(block.extraCount)) return false;
  if (block.extraCount == 0) return true;
  if (!in.ReadU32(block.extraTextSize) || !in.ReadArray(block.extraOwners, block.extraCount) ||
      !in.ReadArray(block.extraOffsets, block.extraCount) ||
      !in.ReadArray(block.extraLengths, block.extraCount) ||
      !in.ReadBytes(block.extraText, block.extraTextSize)) {
    return false;
  }
  if (in.Swapped()) SwapUnits(block.extraText.get(), block.extraTextSize);
  return true;
}

bool Within(std::uint32_t offset, std::uint32_t length, std::uint32_t size) {
  return static_cast<std::uint64_t>(offset) + length <= size;
}

bool SlotsConsistent(const Block& block) {
  if (block.live > block.count) return false;
  for (std::uint32_t s = 0; s < block.count; ++s) {
    if (block.keysPresent && !Within(block.keyOffsets[s], block.keyLengths[s], block.keyTextSize)) {
      return false;
    }
    if (block.valueLengths[s] % 2 != 0 ||
        !Within(block.valueOffsets[s], block.valueLengths[s], block.valueTextSize)) {
      return false;
    }
  }
  return true;
}

bool ListingsConsistent(const FileBlock& file) {
  for (const FileBlock::Listing& listing : file.listings) {
    if (listing.bucket >= kBucketCount) return false;
    for (std::uint32_t slot : listing.slots) {
      if (slot >= file.block.count) return false;
    }
  }
  return true;
}

bool ExtrasConsistent(const Block& block) {
  for (std::uint32_t e = 0; e < block.extraCount; ++e) {
    if (block.extraOwners[e] >= block.count) return false;
    if (e > 0 && block.extraOwners[e] < block.extraOwners[e - 1]) return false;
    if (!Within(block.extraOffsets[e], block.extraLengths[e], block.extraTextSize)) return false;
  }
  return true;
}

}  // namespace

BlockRead ReadFileBlock(BoundedReader& in, std::uint32_t entryCount, FileBlock& file) {
  if (!in.ReadU32(file.fileFirstIndex)) return BlockRead::kCorrupt;
  const std::uint32_t first = file.fileFirstIndex;
  if (first != 0 && entryCount != 0 && first != entryCount) return BlockRead::kConflict;
  Block& block = file.block;
  if (!ReadCounts(in, block) || !ReadSlots(in, block)) return BlockRead::kCorrupt;
  if (block.keysPresent && !ReadListings(in, file)) return BlockRead::kCorrupt;
  if (!ReadExtras(in, block)) return BlockRead::kCorrupt;
  if (block.count > std::numeric_limits<std::uint32_t>::max() - entryCount) {
    return BlockRead::kCorrupt;
  }
  if (!SlotsConsistent(block) || !ListingsConsistent(file) || !ExtrasConsistent(block)) {
    return BlockRead::kCorrupt;
  }
  return BlockRead::kOk;
}

}  // namespace tessvik_private
