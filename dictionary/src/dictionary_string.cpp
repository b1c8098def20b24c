#include "dictionary/public/dictionary_string.h"

#include <algorithm>

#include "dictionary/public/hl_err_exception.h"

namespace tessvik {

std::uint32_t DictionaryString::CopyTo(char16_t* buffer, std::uint32_t capacity,
                                       bool throwIfShort) const {
  const std::uint32_t needed = Length();
  if (capacity > 0) {
    const std::uint32_t units = std::min(needed, capacity) - 1;
    for (std::uint32_t i = 0; i < units; ++i) buffer[i] = value_->UnitAt(i);
    buffer[units] = 0;
  }
  if (throwIfShort && capacity < needed) throw HLErrException(kErrBufferTooSmall);
  return 0;
}

}  // namespace tessvik
