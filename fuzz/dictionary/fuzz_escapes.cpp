// Arbitrary UTF-16 text through both passes; neither may make the text
// longer, and ExpandMarkup must accept whatever Unescape produced.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "private/escapes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  const std::u16string unescaped = tessvik_private::Unescape(text.data(), text.size());
  const std::u16string expanded = tessvik_private::ExpandMarkup(text.data(), text.size());
  if (unescaped.size() > text.size() || expanded.size() > text.size()) std::abort();
  // Markup is expanded once: the result of a pass can hold new markup text
  // (from "#{23}{endl}") and is a valid input of its own.
  const std::u16string again = tessvik_private::ExpandMarkup(expanded.data(), expanded.size());
  if (again.size() > expanded.size()) std::abort();
  return 0;
}
