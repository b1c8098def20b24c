#include "private/byte_run_key.h"

#include <cstring>
#include <ostream>

#include "private/key_hash.h"

namespace tessvik_private {

const std::uint8_t* ByteRunKey::CopyOwned(const void* bytes) {
  std::uint8_t* copy = inline_;
  if (length_ > kInlineBytes) {
    heap_ = std::make_unique_for_overwrite<std::uint8_t[]>(length_);
    copy = heap_.get();
  }
  std::memcpy(copy, bytes, length_);
  return copy;
}

ByteRunKey::ByteRunKey(const void* bytes, std::uint32_t length, bool copy) : length_(length) {
  if (length_ == 0) return;
  owns_ = copy;
  data_ = copy ? CopyOwned(bytes) : static_cast<const std::uint8_t*>(bytes);
}

ByteRunKey::ByteRunKey(const ByteRunKey& other) : HashItem(), length_(other.length_) {
  if (length_ == 0) return;
  owns_ = true;
  data_ = CopyOwned(other.data_);
}

ByteRunKey::~ByteRunKey() = default;

void ByteRunKey::Write(std::ostream& out, bool raw) const {
  if (raw) {
    out.write(reinterpret_cast<const char*>(data_), length_);
    return;
  }
  for (std::uint32_t i = 0; i < length_; ++i) {
    const char unit[2] = {static_cast<char>(data_[i]), 0};
    out.write(unit, 2);
  }
}

std::uint32_t ByteRunKey::Hash(std::uint32_t modulus) const {
  return HashKey(data_, length_, modulus);
}

}  // namespace tessvik_private
