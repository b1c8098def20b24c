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

// A 16-bit digest of a key, kept beside each bucket entry so that a bucket
// scan reads few cache lines and compares keys only on a tag match. Keys
// share their first bytes, so it mixes the length with the middle and the
// last eight bytes; keys of up to 16 bytes take part whole.
inline std::uint16_t KeyTag(const std::uint8_t* key, std::uint32_t length) {
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  if (length >= 8) {
    std::memcpy(&a, key + (length - 8) / 2, 8);
    std::memcpy(&b, key + length - 8, 8);
  } else if (length >= 4) {
    std::uint32_t first;
    std::uint32_t last;
    std::memcpy(&first, key, 4);
    std::memcpy(&last, key + length - 4, 4);
    a = first;
    b = last;
  } else if (length > 0) {
    a = std::uint64_t{key[0]} | (std::uint64_t{key[length / 2]} << 8) |
        (std::uint64_t{key[length - 1]} << 16);
  }
  std::uint64_t tag = (a ^ length) * 0x9E3779B97F4A7C15ull;
  tag ^= ((b << 29) | (b >> 35)) * 0xC2B2AE3D27D4EB4Full;
  tag ^= tag >> 29;
  tag *= 0x9E3779B97F4A7C15ull;
  return static_cast<std::uint16_t>(tag >> 48);
}

}  // namespace tessvik_private
