#pragma once

#include <cstdint>

namespace tessvik_private {

// Buckets of the entry table and of the block store.
inline constexpr std::uint32_t kBucketCount = 1021;

// The bucket function fixed by the compiled format: at most nine bytes of
// the key take part, sampled with a step of length / 5.
inline std::uint32_t HashKey(const std::uint8_t* bytes, std::uint32_t length,
                             std::uint32_t modulus) {
  if (length == 0) return 0;
  const std::uint32_t step = length / 5 == 0 ? 1 : length / 5;
  std::uint32_t hash = 0;
  for (std::uint32_t p = 0; p < length; p += step) hash = (hash * 32 + bytes[p]) % modulus;
  return hash;
}

}  // namespace tessvik_private
