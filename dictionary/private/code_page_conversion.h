#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tessvik/text_encoding.h"

namespace tessvik_private {

// Code page chosen by a TextEncoding pointer: UTF-8 for 1, ANSI otherwise.
std::uint32_t CodePageFor(const tessvik::TextEncoding* encoding);

// A UTF-16 buffer that grows by half its capacity at a time.
class WideBuffer {
 public:
  explicit WideBuffer(std::uint32_t capacity = 256);

  char16_t* Data() { return data_.get(); }
  const char16_t* Data() const { return data_.get(); }
  std::uint32_t Length() const { return length_; }
  void SetLength(std::uint32_t length) { length_ = length; }
  void Reserve(std::uint32_t needed);  // keeps the contents
  void Append(char16_t unit);

 private:
  std::unique_ptr<char16_t[]> data_;
  std::uint32_t capacity_;
  std::uint32_t length_ = 0;
};

// Number of UTF-16 units the 8-bit text needs.
std::uint32_t WideCount(std::uint32_t codePage, const char* bytes, std::uint32_t length);

// Converts into the buffer (replacing its contents); throws HLErrException.
void ConvertToWide(std::uint32_t codePage, const char* bytes, std::uint32_t length,
                   WideBuffer& buffer);

// Converts UTF-16 to 8-bit text; throws HLErrException.
std::string ConvertToNarrow(std::uint32_t codePage, const char16_t* units, std::uint32_t length);

}  // namespace tessvik_private
