#include "dictionary/private/block.h"

namespace tessvik_private {

const std::uint8_t* Block::Key(std::uint32_t slot) const {
  if (!keyOverrides.empty() && keyOverrides[slot] && keyLengths[slot] > 0) {
    return keyOverrides[slot].get();
  }
  if (keyOffsets.empty() || !keyText) return nullptr;
  return keyText.get() + keyOffsets[slot];
}

std::uint8_t* Block::Value(std::uint32_t slot) {
  if (!valueOverrides.empty() && valueOverrides[slot]) return valueOverrides[slot].get();
  if (valueOffsets.empty() || !valueText) return nullptr;
  return valueText.get() + valueOffsets[slot];
}

}  // namespace tessvik_private
