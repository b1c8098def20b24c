#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace tessvik_private {

using OwnedBytes = std::unique_ptr<std::uint8_t[]>;

// One block of the block store: a run of consecutive global indices whose
// keys and values sit in shared texts, or in per-slot overrides.
struct Block {
  std::uint32_t count = 0;
  std::uint32_t live = 0;
  std::uint32_t bucketCount = 0;
  std::uint32_t extraCount = 0;
  std::uint32_t firstIndex = 0;
  std::uint32_t keyTextSize = 0;
  std::uint32_t valueTextSize = 0;
  std::uint32_t extraTextSize = 0;
  bool keysPresent = true;
  std::vector<std::uint32_t> keyOffsets;
  std::vector<std::uint16_t> keyLengths;
  std::vector<std::uint32_t> valueOffsets;
  std::vector<std::uint16_t> valueLengths;
  std::vector<std::uint32_t> extraOffsets;
  std::vector<std::uint16_t> extraLengths;
  OwnedBytes keyText;
  OwnedBytes valueText;
  OwnedBytes extraText;
  std::vector<OwnedBytes> valueOverrides;
  std::vector<OwnedBytes> keyOverrides;
  std::vector<OwnedBytes> extraOverrides;
  std::vector<std::uint16_t> bucketNumbers;
  std::vector<std::uint32_t> extraOwners;

  bool IsLive(std::uint32_t slot) const { return !keysPresent || keyLengths[slot] != 0; }
  const std::uint8_t* Key(std::uint32_t slot) const {
    if (!keyOverrides.empty() && keyOverrides[slot] && keyLengths[slot] > 0) {
      return keyOverrides[slot].get();
    }
    if (keyOffsets.empty() || !keyText) return nullptr;
    return keyText.get() + keyOffsets[slot];
  }
  // Null when the slot has neither an override nor shared value text.
  std::uint8_t* Value(std::uint32_t slot) {
    if (!valueOverrides.empty() && valueOverrides[slot]) return valueOverrides[slot].get();
    if (valueOffsets.empty() || !valueText) return nullptr;
    return valueText.get() + valueOffsets[slot];
  }
  const std::uint8_t* Value(std::uint32_t slot) const {
    return const_cast<Block*>(this)->Value(slot);
  }
};

// A block as read from a compiled file, with its bucket lists, before it
// joins the store.
struct FileBlock {
  struct Listing {
    std::uint16_t bucket;
    std::vector<std::uint32_t> slots;
  };
  std::uint32_t fileFirstIndex = 0;
  Block block;
  std::vector<Listing> listings;
};

}  // namespace tessvik_private
