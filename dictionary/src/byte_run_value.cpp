#include "dictionary/private/byte_run_value.h"

#include <cstring>
#include <vector>

namespace tessvik_private {

ByteRunValue::ByteRunValue(const void* bytes, std::uint32_t length) : length_(length) {
  if (length_ == 0) return;
  data_ = std::make_unique<std::uint8_t[]>(length_);
  std::memcpy(data_.get(), bytes, length_);
}

char16_t ByteRunValue::UnitAt(std::uint32_t index) const {
  const std::uint8_t* unit = data_.get() + 2 * index;
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
  std::vector<std::uint8_t> bytes(2 * static_cast<std::size_t>(count));
  for (std::uint32_t i = 0; i < count; ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
  }
  return new ByteRunValue(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace tessvik_private
