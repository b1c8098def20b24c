#pragma once

#include <cstdint>

#include "private/byte_run_key.h"
#include "private/byte_run_value.h"

namespace tessvik_private {

// A key with its UTF-16 value, as the entry table stores it.
class DictionaryEntry : public ByteRunKey {
 public:
  // A text dictionary line: the value passes through Unescape and ExpandMarkup.
  DictionaryEntry(const ByteRunKey& key, const char16_t* valueText, std::uint32_t units);
  // A compiled entry: the value is set afterwards, unchanged.
  explicit DictionaryEntry(const ByteRunKey& key);
  ~DictionaryEntry() override;

  void SetValue(ByteRunValue* value) { value_.Reset(value); }
  const ValuePtr& Value() const { return value_; }

  void Write(std::ostream& out, bool raw) const override;
  void WriteKey(std::ostream& out, bool raw) const override;
  void WriteValue(std::ostream& out, bool raw, const tessvik::TextEncoding* encoding,
                  ByteOrder order) const override;

 private:
  ValuePtr value_;
};

}  // namespace tessvik_private
