#include "dictionary/public/dictionary_string.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "dictionary/public/hl_err_exception.h"

namespace tessvik {

static_assert(std::endian::native == std::endian::little, "values are copied unit for unit");

std::uint32_t DictionaryString::CopyTo(char16_t* buffer, std::uint32_t capacity,
                                       bool throwIfShort) const {
  const std::uint32_t needed = Length();
  if (capacity > 0) {
    const std::uint32_t units = std::min(needed, capacity) - 1;
    // Values are little-endian units, as the host's.
    if (units > 0) std::memcpy(buffer, value_->Data(), 2 * static_cast<std::size_t>(units));
    buffer[units] = 0;
  }
  if (throwIfShort && capacity < needed) throw HLErrException(kErrBufferTooSmall);
  return 0;
}

}  // namespace tessvik
