// Any key and value through the text line writer and back through a load:
// the line must give back exactly the key and value it was written from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tessvik/dictionary.h"
#include "tessvik/text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte splits the input into key bytes and value units.
  const std::size_t keyLength = std::min<std::size_t>(data[0], size - 1);
  const std::string key(reinterpret_cast<const char*>(data + 1), keyLength);
  if (!tessvik::CanWriteKey(key)) return 0;
  std::u16string value;
  for (std::size_t i = 1 + keyLength; i + 1 < size; i += 2) {
    value.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  std::u16string line;
  tessvik::AppendTextLine(line, key, value);
  line.resize(line.size() - 2);  // the carriage return and line feed
  tessvik::Dictionary dictionary;
  dictionary.AddLine(line.c_str());
  const auto entries = dictionary.Entries();
  if (!dictionary.IsValid() || entries.size() != 1 || entries[0].key != key ||
      entries[0].value != value) {
    std::abort();
  }
  return 0;
}
