#include "private/byte_run_value.h"

#include <bit>
#include <cstring>

namespace tessvik_private {

ByteRunValue::ByteRunValue(const void* bytes, std::uint32_t length) : length_(length) {
  if (length_ == 0) return;
  std::uint8_t* storage = inline_;
  if (length_ > kInlineBytes) {
    heap_ = std::make_unique_for_overwrite<std::uint8_t[]>(length_);
    storage = heap_.get();
  }
  std::memcpy(storage, bytes, length_);
  data_ = storage;
}

char16_t ByteRunValue::UnitAt(std::uint32_t index) const {
  const std::uint8_t* unit = data_ + 2 * index;
  return static_cast<char16_t>(unit[0] | (unit[1] << 8));
}

namespace {

// Holds the empty value's one reference until process exit.
struct EmptyValueHolder {
  EmptyValueHolder() : value(new ByteRunValue(nullptr, 0)) {}
  ValuePtr value;
};

}  // namespace

ByteRunValue* EmptyValue() {
  static EmptyValueHolder holder;  // thread-safe one-time initialisation
  return holder.value.Get();
}

ByteRunValue* MakeUtf16Value(const char16_t* units, std::uint32_t count) {
  // The host is little-endian, so the units are already the stored bytes.
  static_assert(std::endian::native == std::endian::little);
  return new ByteRunValue(units, 2 * count);
}

}  // namespace tessvik_private
