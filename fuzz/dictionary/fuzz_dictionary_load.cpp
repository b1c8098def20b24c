// Arbitrary bytes as a dictionary file: into a fresh dictionary, a second
// time into the same one (merging and shadowing against itself), and into
// one in block mode with an open insertion block. Every entry that a load
// leaves behind is then read back.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "private/byte_run_key.h"
#include "private/dictionary_entry.h"
#include "private/dictionary_internals.h"
#include "private/fast_array.h"
#include "tessvik/dictionary.h"
#include "tessvik/hl_err_exception.h"

namespace {

using tessvik::Dictionary;

// Code-page conversions may throw; that is their documented failure.
void LoadBytes(Dictionary& dictionary, const std::string& bytes) {
  std::istringstream stream(bytes, std::ios::binary);
  try {
    dictionary.Load(stream);
  } catch (const tessvik::HLErrException&) {
  }
}

void ReadBack(Dictionary& dictionary, const std::string& keyText) {
  const auto result = dictionary.Lookup(keyText.c_str(), nullptr);
  std::u16string buffer(result.Length(), u'\0');
  result.CopyTo(buffer.data(), static_cast<std::uint32_t>(buffer.size()), true);
  dictionary.Contains(keyText.c_str());
}

void WalkEntryTable(Dictionary& dictionary) {
  const tessvik_private::EntryTable& table =
      tessvik_private::DictionaryInternals::State(dictionary).entries;
  int visited = 0;
  for (std::uint32_t bucket = 0; bucket < tessvik_private::kBucketCount; ++bucket) {
    for (const tessvik_private::HashItem* item = table.Head(bucket); item != nullptr;
         item = item->Next()) {
      const auto* entry = static_cast<const tessvik_private::DictionaryEntry*>(item);
      const auto* key = reinterpret_cast<const char*>(entry->KeyData());
      const std::string keyText =
          "$$$" + std::string(key == nullptr ? "" : key, entry->KeyLength());
      if (++visited < 512) ReadBack(dictionary, keyText);
      const tessvik_private::ByteRunValue& value = *entry->Value();
      volatile std::uint8_t last = value.Length() == 0 ? 0 : value.Data()[value.Length() - 1];
      (void)last;
    }
  }
}

void WalkBlockStore(Dictionary& dictionary) {
  const tessvik_private::FastArray& store =
      *tessvik_private::DictionaryInternals::State(dictionary).blocks;
  const std::uint32_t count = store.EntryCount() < 4096 ? store.EntryCount() : 4096;
  for (std::uint32_t i = 0; i < count + 2; ++i) {
    store.IsLive(i);
    tessvik_private::ValuePtr value(store.ValueAt(i));
    std::uint8_t key[300];
    std::uint32_t length = 0;
    if (store.KeyAt(i, key, sizeof key, length) && i < 512) {
      store.FindIndex(key, length);
      ReadBack(dictionary, "$$$" + std::string(reinterpret_cast<char*>(key), length) + "=d");
    }
  }
}

void Walk(Dictionary& dictionary) {
  if (dictionary.InBlockMode()) {
    WalkBlockStore(dictionary);
  } else {
    WalkEntryTable(dictionary);
  }
  ReadBack(dictionary, "$$$/Frontend/Title=Default\\t#{endl}");
  ReadBack(dictionary, "$$$=");
}

// A version 2 file of one entry, then a text line in block mode, so that
// an insertion block is open when the fuzzed file arrives.
const std::string& BlockModeFile() {
  static const std::string file = [] {
    std::string bytes = "Lexiqon Binary Format";
    bytes += std::string("\x02\x00\x00", 3);
    const auto u32 = [&bytes](std::uint32_t v) {
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(v >> (8 * i)));
    };
    const auto u16 = [&bytes](std::uint16_t v) {
      bytes.push_back(static_cast<char>(v & 0xFF));
      bytes.push_back(static_cast<char>(v >> 8));
    };
    u32(0);                          // header text length
    u32(0);                          // first index
    bytes.push_back('Y');            // keys present
    u32(1);                          // count
    u32(1);                          // live
    u32(1);                          // bucket count
    u32(2);                          // key text size
    u32(2);                          // value text size
    u32(0);                          // key offset
    u16(2);                          // key length
    u32(0);                          // value offset
    u16(2);                          // value length
    bytes += "/a";                   // key text
    bytes += std::string("v\0", 2);  // value text
    u16(('/' * 32 + 'a') % 1021);    // bucket number
    u32(1);                          // bucket size
    u32(0);                          // slot
    u32(0);                          // extra count
    return bytes;
  }();
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  {
    Dictionary dictionary;
    LoadBytes(dictionary, bytes);
    Walk(dictionary);
    LoadBytes(dictionary, bytes);
    Walk(dictionary);
  }
  {
    Dictionary dictionary;
    LoadBytes(dictionary, BlockModeFile());
    dictionary.AddLine(u"$$$/open=insertion block");
    LoadBytes(dictionary, bytes);
    dictionary.AddLine(u"$$$/after=the file");
    Walk(dictionary);
  }
  return 0;
}
