#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "private/code_page_conversion.h"

namespace tessvik_private {

// Reads a text dictionary line by line into a reused UTF-16 buffer.
class DictionaryReader {
 public:
  explicit DictionaryReader(std::istream& stream) : stream_(stream) {}
  DictionaryReader(const DictionaryReader&) = delete;
  DictionaryReader& operator=(const DictionaryReader&) = delete;
  virtual ~DictionaryReader() = default;

  // The next NUL-terminated line, valid until the next call; null at the end.
  virtual const char16_t* ReadLine() = 0;

  // The unit that ended the last line; 0 when the end of the text did.
  char16_t LastTerminator() const { return terminator_; }

 protected:
  std::istream& Stream() { return stream_; }
  WideBuffer& Line() { return line_; }
  void SetTerminator(char16_t unit) { terminator_ = unit; }

 private:
  std::istream& stream_;
  WideBuffer line_{256};
  char16_t terminator_ = 0;
};

// UTF-16 little-endian text.
class UnicodeReader : public DictionaryReader {
 public:
  using DictionaryReader::DictionaryReader;

  const char16_t* ReadLine() override;
  // Reads one unit; true at the end (no more bytes, a lone last byte, or NUL).
  virtual bool ReadChar(char16_t& unit);
};

// UTF-16 big-endian text.
class ByteSwapUnicodeReader : public UnicodeReader {
 public:
  using UnicodeReader::UnicodeReader;

  bool ReadChar(char16_t& unit) override;
};

// 8-bit text in the system ANSI code page.
class MultibyteReader : public DictionaryReader {
 public:
  explicit MultibyteReader(std::istream& stream);

  const char16_t* ReadLine() override;

 private:
  std::string bytes_;
};

// Chooses the reader by the byte-order mark; without one the stream is
// rewound to offset 0.
std::unique_ptr<DictionaryReader> CreateReader(std::istream& stream);

}  // namespace tessvik_private
