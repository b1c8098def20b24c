#pragma once

#include <cstdint>
#include <iosfwd>

#include "tessvik/text_encoding.h"

namespace tessvik_private {

class ByteRunKey;

enum class ByteOrder : std::uint8_t { kLittleEndian, kBigEndian };

// An item of the entry table's chains.
class HashItem {
 public:
  HashItem() = default;
  HashItem(const HashItem&) = delete;
  HashItem& operator=(const HashItem&) = delete;

  virtual void Write(std::ostream& out, bool raw) const = 0;
  virtual void WriteKey(std::ostream& out, bool raw) const { Write(out, raw); }
  virtual void WriteValue(std::ostream& out, bool raw, const tessvik::TextEncoding* encoding,
                          ByteOrder order) const {
    (void)encoding;
    (void)order;
    Write(out, raw);
  }
  virtual ~HashItem() = default;
  virtual std::uint32_t Hash(std::uint32_t modulus) const = 0;
  virtual bool Equals(const ByteRunKey& other) const = 0;

  HashItem* Next() const { return next_; }
  void SetNext(HashItem* next) { next_ = next; }

 private:
  HashItem* next_ = nullptr;
};

}  // namespace tessvik_private
