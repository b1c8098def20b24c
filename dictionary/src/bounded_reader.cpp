#include "private/bounded_reader.h"

#include <bit>
#include <istream>

namespace tessvik_private {

static_assert(std::endian::native == std::endian::little, "file numbers are read as little-endian");

std::uint16_t Swap16(std::uint16_t value) {
  return static_cast<std::uint16_t>((value >> 8) | (value << 8));
}

std::uint32_t Swap32(std::uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

BoundedReader::BoundedReader(std::istream& stream, bool swap) : stream_(stream), swap_(swap) {
  const std::istream::pos_type here = stream_.tellg();
  if (here == std::istream::pos_type(-1)) return;
  stream_.seekg(0, std::ios::end);
  const std::istream::pos_type end = stream_.tellg();
  stream_.seekg(here);
  if (end != std::istream::pos_type(-1) && end > here) {
    remaining_ = static_cast<std::uint64_t>(end - here);
  }
}

bool BoundedReader::Read(void* destination, std::uint64_t size) {
  if (size > remaining_) return false;
  if (size == 0) return true;
  stream_.read(static_cast<char*>(destination), static_cast<std::streamsize>(size));
  const auto got = static_cast<std::uint64_t>(stream_.gcount());
  remaining_ -= got;
  return got == size;
}

bool BoundedReader::ReadU16(std::uint16_t& value) {
  if (!Read(&value, 2)) return false;
  // Files are little-endian unless swapped; the host is assumed little-endian.
  if (swap_) value = Swap16(value);
  return true;
}

bool BoundedReader::ReadU32(std::uint32_t& value) {
  if (!Read(&value, 4)) return false;
  if (swap_) value = Swap32(value);
  return true;
}

bool BoundedReader::ReadBytes(std::unique_ptr<std::uint8_t[]>& bytes, std::uint64_t size) {
  if (size > remaining_) return false;
  bytes = std::make_unique_for_overwrite<std::uint8_t[]>(size == 0 ? 1 : size);
  return Read(bytes.get(), size);
}

void BoundedReader::SwapEach(std::vector<std::uint16_t>& values) {
  for (std::uint16_t& value : values) value = Swap16(value);
}

void BoundedReader::SwapEach(std::vector<std::uint32_t>& values) {
  for (std::uint32_t& value : values) value = Swap32(value);
}

}  // namespace tessvik_private
