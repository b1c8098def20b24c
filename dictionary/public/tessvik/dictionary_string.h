#pragma once

#include <cstdint>

namespace tessvik_private {
class ByteRunValue;
}

namespace tessvik {

// The result of a lookup, a value the caller owns; it keeps the value alive
// on its own, even after the dictionary is gone.
class DictionaryString {
 public:
  // Takes a reference to the value.
  explicit DictionaryString(tessvik_private::ByteRunValue* value);
  DictionaryString(const DictionaryString& other);
  DictionaryString& operator=(const DictionaryString& other);
  ~DictionaryString();

  // Units of the value plus one for a terminating NUL.
  std::uint32_t Length() const;

  // Copies as much as fits and a NUL; with throwIfShort set a short buffer
  // then throws "BUFF". A capacity of 0 writes nothing. Always returns 0.
  std::uint32_t CopyTo(char16_t* buffer, std::uint32_t capacity, bool throwIfShort) const;

 private:
  tessvik_private::ByteRunValue* value_;  // one reference held
};

}  // namespace tessvik
