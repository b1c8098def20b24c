#include "dictionary/private/byte_run_key.h"

#include <cstring>
#include <ostream>

#include "dictionary/private/key_hash.h"

namespace tessvik_private {
namespace {

const std::uint8_t* CopyBytes(const void* bytes, std::uint32_t length) {
  auto* copy = new std::uint8_t[length];
  std::memcpy(copy, bytes, length);
  return copy;
}

}  // namespace

ByteRunKey::ByteRunKey(const void* bytes, std::uint32_t length, bool copy) : length_(length) {
  if (length_ == 0) return;
  owns_ = copy;
  data_ = copy ? CopyBytes(bytes, length_) : static_cast<const std::uint8_t*>(bytes);
}

ByteRunKey::ByteRunKey(const ByteRunKey& other) : HashItem(), length_(other.length_) {
  if (length_ == 0) return;
  owns_ = true;
  data_ = CopyBytes(other.data_, length_);
}

ByteRunKey::~ByteRunKey() {
  if (owns_) delete[] data_;
}

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

bool ByteRunKey::Equals(const ByteRunKey& other) const {
  if (length_ != other.length_) return false;
  return length_ == 0 || std::memcmp(data_, other.data_, length_) == 0;
}

}  // namespace tessvik_private
