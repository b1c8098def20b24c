#include "private/dictionary_reader.h"

#include <istream>

#include "platform/code_page.h"

namespace tessvik_private {
namespace {

bool IsLineEnd(char16_t unit) {
  return unit == u'\n' || unit == u'\r' || unit == u'\u2028' || unit == u'\u2029';
}

const char16_t* Terminate(WideBuffer& line) {
  line.Append(0);
  line.SetLength(line.Length() - 1);
  return line.Data();
}

}  // namespace

bool UnicodeReader::ReadChar(char16_t& unit) {
  const auto low = Stream().get();
  if (low == std::char_traits<char>::eof()) return true;
  const auto high = Stream().get();
  if (high == std::char_traits<char>::eof()) return true;  // a lone last byte is dropped
  unit = static_cast<char16_t>((low & 0xFF) | ((high & 0xFF) << 8));
  return unit == 0;
}

const char16_t* UnicodeReader::ReadLine() {
  WideBuffer& line = Line();
  line.SetLength(0);
  SetTerminator(0);
  char16_t unit = 0;
  if (ReadChar(unit)) return nullptr;
  do {
    if (IsLineEnd(unit)) {
      SetTerminator(unit);
      return Terminate(line);
    }
    line.Append(unit);
  } while (!ReadChar(unit));
  return Terminate(line);
}

bool ByteSwapUnicodeReader::ReadChar(char16_t& unit) {
  const bool end = UnicodeReader::ReadChar(unit);
  unit = static_cast<char16_t>((unit >> 8) | (unit << 8));
  return end;
}

MultibyteReader::MultibyteReader(std::istream& stream) : DictionaryReader(stream) {
  bytes_.reserve(256);
}

const char16_t* MultibyteReader::ReadLine() {
  bytes_.clear();
  SetTerminator(0);
  for (;;) {
    const auto byte = Stream().get();
    if (byte == std::char_traits<char>::eof() || byte == 0) {
      if (bytes_.empty()) return nullptr;
      break;
    }
    if (byte == '\n' || byte == '\r') {
      SetTerminator(static_cast<char16_t>(byte));
      break;
    }
    bytes_.push_back(static_cast<char>(byte));
  }
  ConvertToWide(platform::kCpAcp, bytes_.data(), static_cast<std::uint32_t>(bytes_.size()), Line());
  return Terminate(Line());
}

std::unique_ptr<DictionaryReader> CreateReader(std::istream& stream) {
  int bytes[2] = {0, 0};
  int read = 0;
  for (; read < 2; ++read) {
    const auto byte = stream.get();
    if (byte == std::char_traits<char>::eof()) break;
    bytes[read] = byte & 0xFF;
  }
  // Fewer than two bytes are never a byte-order mark.
  const int mark = read == 2 ? (bytes[0] | (bytes[1] << 8)) : -1;
  if (mark == 0xFEFF) return std::make_unique<UnicodeReader>(stream);
  if (mark == 0xFFFE) return std::make_unique<ByteSwapUnicodeReader>(stream);
  stream.clear();
  stream.seekg(0);
  return std::make_unique<MultibyteReader>(stream);
}

}  // namespace tessvik_private
