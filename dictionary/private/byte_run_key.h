#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "private/hash_item.h"

namespace tessvik_private {

// A key of 8-bit bytes, compared as unsigned bytes. Searches borrow the
// caller's bytes; stored items own a copy.
class ByteRunKey : public HashItem {
 public:
  ByteRunKey(const void* bytes, std::uint32_t length, bool copy);
  ByteRunKey(const ByteRunKey& other);
  ByteRunKey& operator=(const ByteRunKey&) = delete;
  ~ByteRunKey() override;

  void Write(std::ostream& out, bool raw) const override;
  std::uint32_t Hash(std::uint32_t modulus) const override;
  // Final, so that the entry table's scans call it directly.
  bool Equals(const ByteRunKey& other) const final {
    return length_ == other.length_ &&
           (length_ == 0 || std::memcmp(data_, other.data_, length_) == 0);
  }

  const std::uint8_t* KeyData() const { return data_; }
  std::uint32_t KeyLength() const { return length_; }

 private:
  // Owned keys of up to kInlineBytes live in the item itself: a search then
  // reads the item and its key from the same allocation.
  static constexpr std::uint32_t kInlineBytes = 64;

  const std::uint8_t* CopyOwned(const void* bytes);

  const std::uint8_t* data_ = nullptr;
  std::uint32_t length_;
  bool owns_ = false;
  std::unique_ptr<std::uint8_t[]> heap_;  // owned keys longer than kInlineBytes
  std::uint8_t inline_[kInlineBytes];
};

}  // namespace tessvik_private
