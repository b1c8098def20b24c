#pragma once

#include <cstdint>
#include <memory>

#include "private/ref_count.h"

namespace tessvik_private {

// An immutable run of bytes; dictionary values hold UTF-16 little-endian
// units, so the length is twice the unit count.
class ByteRunValue : public RefCountObj {
 public:
  ByteRunValue(const void* bytes, std::uint32_t length);

  ByteRunValue(const ByteRunValue&) = delete;
  ByteRunValue& operator=(const ByteRunValue&) = delete;

  std::uint32_t Length() const { return length_; }
  const std::uint8_t* Data() const { return data_; }
  std::uint32_t Units() const { return length_ / 2; }
  char16_t UnitAt(std::uint32_t index) const;

 private:
  // Most UI texts fit beside the object, which saves a lookup in the block
  // store one allocation.
  static constexpr std::uint32_t kInlineBytes = 112;

  std::uint32_t length_;
  const std::uint8_t* data_ = nullptr;  // null when the length is 0
  std::unique_ptr<std::uint8_t[]> heap_;
  std::uint8_t inline_[kInlineBytes];
};

using ValuePtr = RefCountPtr<ByteRunValue>;

// The process-wide empty value that every holder without a value points at.
ByteRunValue* EmptyValue();

// A value holding the given UTF-16 units, stored little-endian.
ByteRunValue* MakeUtf16Value(const char16_t* units, std::uint32_t count);

}  // namespace tessvik_private
