#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

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

// Key tags of one bucket in order, stored in whole groups of eight so that
// a scan compares every group at once, the last one with its unused lanes
// masked off: a bucket of up to eight entries costs one compare and no
// loop over single tags.
class TagArray {
 public:
  static constexpr std::size_t kGroup = 8;

  std::size_t Size() const { return size_; }

  void Insert(std::size_t position, std::uint16_t tag) {
    if (size_ % kGroup == 0) tags_.resize(size_ + kGroup);
    for (std::size_t i = size_; i > position; --i) tags_[i] = tags_[i - 1];
    tags_[position] = tag;
    ++size_;
  }
  void PushBack(std::uint16_t tag) { Insert(size_, tag); }
  void Erase(std::size_t position) {
    for (std::size_t i = position; i + 1 < size_; ++i) tags_[i] = tags_[i + 1];
    --size_;
    tags_[size_] = 0;
    if (size_ % kGroup == 0) tags_.resize(size_);
  }

  // The first position below count (at most Size()) whose tag equals tag
  // and for which matches(position) is true; kNoPosition when there is none.
  template <typename Matches>
  std::size_t Scan(std::size_t count, std::uint16_t tag, Matches&& matches) const {
    const std::uint16_t* tags = tags_.data();
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(tag));
    for (std::size_t i = 0; i < count; i += kGroup) {
      const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tags + i));
      auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(group, wanted)));
      if (count - i < kGroup) mask &= (1u << (2 * (count - i))) - 1;
      while (mask != 0) {
        const auto bit = static_cast<unsigned>(std::countr_zero(mask));
        if (matches(i + bit / 2)) return i + bit / 2;
        mask &= ~(3u << bit);
      }
    }
#else
    for (std::size_t i = 0; i < count; ++i) {
      if (tags[i] == tag && matches(i)) return i;
    }
#endif
    return kNoPosition;
  }

 private:
  std::vector<std::uint16_t> tags_;  // a whole number of groups
  std::size_t size_ = 0;
};

}  // namespace tessvik_private
