#include "tessvik/dictionary_string.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "private/byte_run_value.h"
#include "tessvik/hl_err_exception.h"

namespace tessvik {

static_assert(std::endian::native == std::endian::little, "values are copied unit for unit");

DictionaryString::DictionaryString(tessvik_private::ByteRunValue* value) : value_(value) {
  value_->AddRef();
}

DictionaryString::DictionaryString(const DictionaryString& other) : value_(other.value_) {
  value_->AddRef();
}

DictionaryString& DictionaryString::operator=(const DictionaryString& other) {
  other.value_->AddRef();
  value_->Release();
  value_ = other.value_;
  return *this;
}

DictionaryString::~DictionaryString() { value_->Release(); }

std::uint32_t DictionaryString::Length() const { return value_->Units() + 1; }

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
