#pragma once

#include <iosfwd>
#include <memory>

#include "dictionary/private/dictionary_state.h"
#include "dictionary/public/dictionary_string.h"
#include "dictionary/public/text_encoding.h"

namespace tessvik {

// The localization dictionary: answers "$$$/key=default" texts from text
// and compiled dictionary files. Not thread-safe; even lookups write
// scratch fields, so the owner serialises every call.
class Dictionary {
 public:
  Dictionary() = default;
  Dictionary(const Dictionary&) = delete;
  Dictionary& operator=(const Dictionary&) = delete;

  // Adds one file, compiled or text; problems clear the valid flag.
  void Load(std::istream& stream);
  bool IsValid() const { return state_.valid != 0; }
  bool Contains(const char* keyText);
  DictionaryString Lookup(const char* keyText, const TextEncoding* encoding);
  // One NUL-terminated text dictionary line.
  void AddLine(const char16_t* line);

  // Read access for the dictionary tool.
  const tessvik_private::DictionaryState& State() const { return state_; }

 private:
  void LoadText(std::istream& stream);
  void Store(const std::string& key, std::u16string_view valueText);
  tessvik_private::ByteRunValue* Find(std::string_view key);
  std::u16string DefaultText(std::string_view text, const TextEncoding* encoding) const;

  tessvik_private::DictionaryState state_;
};

}  // namespace tessvik
