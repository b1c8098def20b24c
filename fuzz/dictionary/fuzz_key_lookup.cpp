// Arbitrary key texts against a small dictionary in either store. The first
// byte chooses the store, the default text's encoding and whether the rest
// is also added as a text line; the rest is the key text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "private/dictionary_internals.h"
#include "private/escapes.h"
#include "tessvik/compiled_file.h"
#include "tessvik/dictionary.h"
#include "tessvik/hl_err_exception.h"

namespace {

using tessvik::CompiledEntry;
using tessvik::CompiledFormat;
using tessvik::Dictionary;

const std::vector<CompiledEntry>& Entries() {
  static const std::vector<CompiledEntry> entries = {
      {"/Frontend/FEAppStartupErrorTitle", u"Pellicor"},
      {"/a", u"caf\u00E9 \u65E5"},
      {"/a/b", u""},
      {"/abcdefghij", u"ten"},
      {"/abcdefghik", u"same bucket walk"},
      {"=", u"equals"},
  };
  return entries;
}

std::string Compiled(std::uint8_t major, std::uint8_t minor, bool bigEndian) {
  CompiledFormat format;
  format.major = major;
  format.minor = minor;
  format.bigEndian = bigEndian;
  format.valueEncoding = major == 1 ? 1 : 0;
  return tessvik::WriteCompiled(Entries(), format);
}

void Fill(Dictionary& dictionary, int store) {
  static const std::string files[] = {
      "\"$$$/Frontend/FEAppStartupErrorTitle=Pellicor\"\r\n$$$/a=caf\xE9\n$$$/a/b\n=x\n",
      Compiled(1, 5, false),
      Compiled(2, 0, false),
      Compiled(2, 1, true),
  };
  std::istringstream stream(files[store], std::ios::binary);
  dictionary.Load(stream);
}

std::u16string Text(const tessvik::DictionaryString& result) {
  std::u16string buffer(result.Length(), u'x');
  result.CopyTo(buffer.data(), static_cast<std::uint32_t>(buffer.size()), true);
  if (buffer.back() != 0) std::abort();
  buffer.pop_back();
  return buffer;
}

std::u16string Lookup(Dictionary& dictionary, const std::string& text,
                      const tessvik::TextEncoding* encoding) {
  try {
    return Text(dictionary.Lookup(text.c_str(), encoding));
  } catch (const tessvik::HLErrException&) {
    return u"<conversion failed>";  // invalid UTF-8 in a default text
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string keyText(text.c_str());  // the key text ends at a NUL
  static const tessvik::TextEncoding encodings[] = {0, 1, 2};
  const tessvik::TextEncoding* encoding =
      (mode >> 2) % 4 == 3 ? nullptr : &encodings[(mode >> 2) % 4];

  Dictionary dictionary;
  Fill(dictionary, mode & 3);

  if ((mode & 0x10) != 0) {
    // The same bytes as a text line "$$$<text>": its key must be found
    // afterwards with the value that both passes make of the line's value.
    std::u16string line = u"$$$";
    for (char byte : keyText) line.push_back(static_cast<unsigned char>(byte));
    dictionary.AddLine(line.c_str());
    if (keyText.find('"') == std::string::npos) {
      const std::string lookupText = "$$$" + keyText;
      if (!dictionary.Contains(lookupText.c_str())) std::abort();
      const std::size_t equals = line.find(u'=');
      const std::u16string value = equals == std::u16string::npos ? u"" : line.substr(equals + 1);
      const bool emptyKey = equals == 3;
      // In block mode a slot with an empty key is not live and reads empty.
      const bool blockMode = dictionary.InBlockMode();
      const std::u16string expected =
          emptyKey && blockMode ? u"" : tessvik_private::Unescape(value.data(), value.size());
      const std::size_t keyEnd = lookupText.find('=');
      const std::string bare =
          keyEnd == std::string::npos ? lookupText : lookupText.substr(0, keyEnd + 1);
      if (Lookup(dictionary, bare, nullptr) != expected) std::abort();
    }
  }

  const std::u16string found = Lookup(dictionary, keyText, encoding);
  const bool contains = dictionary.Contains(keyText.c_str());
  const std::size_t equals = keyText.find('=');
  if (contains && equals != std::string::npos) {
    // A found key ignores its default text (an empty default keeps the "=":
    // "" alone is no key at all).
    if (Lookup(dictionary, keyText.substr(0, equals + 1), encoding) != found) std::abort();
  }
  if (!contains && equals == std::string::npos && !found.empty()) std::abort();

  const auto result = dictionary.Lookup(keyText.c_str(), nullptr);
  std::u16string shortBuffer(result.Length() / 2 + 1, u'x');
  result.CopyTo(shortBuffer.data(), static_cast<std::uint32_t>(shortBuffer.size()), false);
  if (shortBuffer.back() != 0) std::abort();
  return 0;
}
