#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tessvik/compiled_file.h"
#include "tessvik/dictionary_string.h"
#include "tessvik/text_encoding.h"

namespace tessvik_private {
class ByteRunValue;
struct DictionaryInternals;
struct DictionaryState;
}  // namespace tessvik_private

namespace tessvik {

// The localization dictionary: answers "$$$/key=default" texts from text
// and compiled dictionary files. Not thread-safe; even lookups write
// scratch fields, so the owner serialises every call.
class Dictionary {
 public:
  Dictionary();
  Dictionary(const Dictionary&) = delete;
  Dictionary& operator=(const Dictionary&) = delete;
  ~Dictionary();

  // Adds one file, compiled or text; problems clear the valid flag.
  void Load(std::istream& stream);
  bool IsValid() const;
  bool Contains(const char* keyText);
  DictionaryString Lookup(const char* keyText, const TextEncoding* encoding);
  // One NUL-terminated text dictionary line.
  void AddLine(const char16_t* line);

  // For tools that inspect or rewrite dictionaries.
  // Every entry a lookup can reach, once per key, with the value a lookup
  // gives, sorted by key bytes.
  std::vector<CompiledEntry> Entries() const;
  // Whether a version 2 file put the dictionary in block mode.
  bool InBlockMode() const;
  // The number of entries listed in each of the 1021 hash buckets.
  std::vector<std::uint32_t> ChainLengths() const;
  // The first compiled file that cleared the valid flag: why, and where.
  std::optional<CompiledProblem> FirstCompiledProblem() const;

 private:
  friend struct tessvik_private::DictionaryInternals;

  void Store(const std::string& key, std::u16string_view valueText);
  tessvik_private::ByteRunValue* Find(std::string_view key);
  std::u16string DefaultText(std::string_view text, const TextEncoding* encoding) const;

  std::unique_ptr<tessvik_private::DictionaryState> state_;
};

}  // namespace tessvik
