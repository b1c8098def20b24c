#pragma once

#include <cstdint>

namespace tessvik {

// Four-character codes: the integer's bytes from most to least significant.
inline constexpr std::uint32_t kErrBufferTooSmall = 0x42554646;  // 'BUFF'
inline constexpr std::uint32_t kErrConversion = 0x6875683F;      // 'huh?'

// Thrown by value by the code-page conversions and by a short CopyTo.
class HLErrException {
 public:
  explicit HLErrException(std::uint32_t code) : code_(code) {}
  std::uint32_t Code() const { return code_; }

 private:
  std::uint32_t code_;
};

}  // namespace tessvik
