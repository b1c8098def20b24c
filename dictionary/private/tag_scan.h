#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessvik_private {

inline constexpr std::size_t kNoPosition = static_cast<std::size_t>(-1);

// Starts loading a line that the caller is about to read.
inline void Prefetch(const void* address) {
#if defined(__GNUC__)
  __builtin_prefetch(address);
#else
  (void)address;
#endif
}

// The first position in tags[0, count) whose tag equals tag and for which
// matches(position) is true, in order; kNoPosition when there is none.
// Eight tags are compared at a time, so a bucket of a hundred entries costs
// a dozen compares and four cache lines.
template <typename Matches>
std::size_t ScanTags(const std::uint16_t* tags, std::size_t count, std::uint16_t tag,
                     Matches&& matches) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi16(static_cast<short>(tag));
  for (; i + 8 <= count; i += 8) {
    const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tags + i));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(group, wanted)));
    while (mask != 0) {
      const auto bit = static_cast<unsigned>(std::countr_zero(mask));
      if (matches(i + bit / 2)) return i + bit / 2;
      mask &= ~(3u << bit);
    }
  }
#endif
  for (; i < count; ++i) {
    if (tags[i] == tag && matches(i)) return i;
  }
  return kNoPosition;
}

}  // namespace tessvik_private
