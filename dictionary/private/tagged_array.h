#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>

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

// The entries of one bucket in order: a tag of each key and a link to the
// entry, kept in whole groups of eight tags followed by their eight links.
// A scan compares a group's tags at once, the last group's unused lanes
// masked off, and the link of a match is on the line it has just read.
// The first group lives in the array itself, so that a bucket of up to
// eight entries is one line away from its bucket number.
template <typename Link>
class alignas(64) TaggedArray {
 public:
  static constexpr std::size_t kGroup = 8;

  TaggedArray() = default;
  TaggedArray(const TaggedArray&) = delete;
  TaggedArray& operator=(const TaggedArray&) = delete;

  std::size_t Size() const { return size_; }
  const Link& LinkAt(std::size_t position) const {
    return GroupAt(position / kGroup).links[position % kGroup];
  }

  void Insert(std::size_t position, std::uint16_t tag, const Link& link) {
    if (size_ != 0 && size_ % kGroup == 0) AddGroup();
    for (std::size_t i = size_; i > position; --i) Set(i, TagAt(i - 1), LinkAt(i - 1));
    Set(position, tag, link);
    ++size_;
  }
  void PushBack(std::uint16_t tag, const Link& link) { Insert(size_, tag, link); }
  void Erase(std::size_t position) {
    for (std::size_t i = position; i + 1 < size_; ++i) Set(i, TagAt(i + 1), LinkAt(i + 1));
    --size_;
    Set(size_, 0, Link{});
  }

  // The first position below count (at most Size()) whose tag equals tag
  // and for which matches(position) is true; kNoPosition when there is none.
  template <typename Matches>
  std::size_t Scan(std::size_t count, std::uint16_t tag, Matches&& matches) const {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(tag));
    for (std::size_t i = 0; i < count; i += kGroup) {
      const Group& group = GroupAt(i / kGroup);
      const __m128i tags = _mm_loadu_si128(reinterpret_cast<const __m128i*>(group.tags));
      auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(tags, wanted)));
      if (count - i < kGroup) mask &= (1u << (2 * (count - i))) - 1;
      while (mask != 0) {
        const auto bit = static_cast<unsigned>(std::countr_zero(mask));
        if (matches(i + bit / 2)) return i + bit / 2;
        mask &= ~(3u << bit);
      }
    }
#else
    for (std::size_t i = 0; i < count; ++i) {
      if (TagAt(i) == tag && matches(i)) return i;
    }
#endif
    return kNoPosition;
  }

 private:
  struct Group {
    std::uint16_t tags[kGroup]{};
    Link links[kGroup]{};
  };
  // Groups after the first, aligned so that tags and first links share a line.
  struct alignas(64) MoreGroup : Group {};

  const Group& GroupAt(std::size_t group) const { return group == 0 ? first_ : more_[group - 1]; }
  Group& GroupAt(std::size_t group) { return group == 0 ? first_ : more_[group - 1]; }
  std::uint16_t TagAt(std::size_t position) const {
    return GroupAt(position / kGroup).tags[position % kGroup];
  }
  void Set(std::size_t position, std::uint16_t tag, const Link& link) {
    Group& group = GroupAt(position / kGroup);
    group.tags[position % kGroup] = tag;
    group.links[position % kGroup] = link;
  }
  // Groups are never given back: a bucket only shrinks when a text line
  // replaces an entry, and then it grows again at once.
  void AddGroup() {
    const std::size_t needed = size_ / kGroup;  // groups after the first
    if (needed <= moreCapacity_) return;
    const std::uint32_t capacity = moreCapacity_ == 0 ? 1 : moreCapacity_ * 2;
    auto grown = std::make_unique<MoreGroup[]>(capacity);
    for (std::uint32_t g = 0; g < moreCapacity_; ++g) grown[g] = more_[g];
    more_ = std::move(grown);
    moreCapacity_ = capacity;
  }

  std::uint32_t size_ = 0;
  std::uint32_t moreCapacity_ = 0;
  Group first_;
  std::unique_ptr<MoreGroup[]> more_;
};

}  // namespace tessvik_private
