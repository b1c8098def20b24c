#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <vector>

namespace tessvik_private {

// Reads a compiled dictionary and refuses any read, and any allocation,
// larger than what is left of the stream.
class BoundedReader {
 public:
  BoundedReader(std::istream& stream, bool swap);

  std::uint64_t Remaining() const { return remaining_; }
  bool Swapped() const { return swap_; }
  void SetSwap(bool swap) { swap_ = swap; }

  bool Read(void* destination, std::uint64_t size);
  bool ReadU8(std::uint8_t& value) { return Read(&value, 1); }
  bool ReadU16(std::uint16_t& value);
  bool ReadU32(std::uint32_t& value);

  template <typename T>
  bool ReadArray(std::vector<T>& values, std::uint64_t count) {
    if (count > remaining_ / sizeof(T)) return false;
    values.resize(count);
    if (!Read(values.data(), count * sizeof(T))) return false;
    if (swap_) SwapEach(values);
    return true;
  }

  bool ReadBytes(std::unique_ptr<std::uint8_t[]>& bytes, std::uint64_t size);

 private:
  static void SwapEach(std::vector<std::uint16_t>& values);
  static void SwapEach(std::vector<std::uint32_t>& values);

  std::istream& stream_;
  std::uint64_t remaining_ = 0;
  bool swap_;
};

std::uint16_t Swap16(std::uint16_t value);
std::uint32_t Swap32(std::uint32_t value);

}  // namespace tessvik_private
