#include "test_support/dictionary_bytes.h"

#include <sstream>
#include <vector>

namespace tessvik_test {

std::string Utf16(std::u16string_view text, bool bom, bool bigEndian) {
  std::u16string all = bom ? u"\uFEFF" : u"";
  all += text;
  std::string bytes;
  for (char16_t unit : all) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

void LoadBytes(tessvik::Dictionary& dictionary, const std::string& bytes) {
  std::istringstream stream(bytes, std::ios::binary);
  dictionary.Load(stream);
}

std::u16string LookupText(tessvik::Dictionary& dictionary, const char* keyText,
                          const tessvik::TextEncoding* encoding) {
  const auto result = dictionary.Lookup(keyText, encoding);
  std::vector<char16_t> buffer(result.Length());
  result.CopyTo(buffer.data(), static_cast<std::uint32_t>(buffer.size()), true);
  return std::u16string(buffer.data(), buffer.size() - 1);
}

}  // namespace tessvik_test
