#pragma once

#include <cstdint>
#include <cstring>

namespace tessvik_private {

// Buckets of the entry table and of the block store.
inline constexpr std::uint32_t kBucketCount = 1021;

// The bucket function fixed by the compiled format: at most nine bytes of
// the key take part, sampled with a step of length / 5.
inline std::uint32_t HashKey(const std::uint8_t* bytes, std::uint32_t length,
                             std::uint32_t modulus) {
  if (length == 0) return 0;
  const std::uint32_t step = length / 5 == 0 ? 1 : length / 5;
  // At most nine bytes are sampled, so the sum fits 64 bits and one
  // reduction at the end equals a reduction at every step.
  std::uint64_t hash = 0;
  for (std::uint32_t p = 0; p < length; p += step) hash = hash * 32 + bytes[p];
  return static_cast<std::uint32_t>(hash % modulus);
}

// A 32-bit digest of the whole key, kept beside each bucket entry so that a
// bucket scan compares keys only when their tags agree. Eight bytes per
// step: keys are long and share their first bytes.
inline std::uint32_t KeyTag(const std::uint8_t* key, std::uint32_t length) {
  constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15ull;
  std::uint64_t tag = (length + 1) * kMix;
  std::uint32_t p = 0;
  for (; p + 8 <= length; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, key + p, 8);
    tag = (tag ^ word) * kMix;
    tag ^= tag >> 31;
  }
  if (p < length) {
    std::uint64_t word = 0;
    std::memcpy(&word, key + p, length - p);
    tag = (tag ^ word) * kMix;
    tag ^= tag >> 31;
  }
  return static_cast<std::uint32_t>(tag ^ (tag >> 32));
}

}  // namespace tessvik_private
