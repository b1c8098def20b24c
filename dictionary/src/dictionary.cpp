#include "tessvik/dictionary.h"

#include <cstring>
#include <istream>

#include "private/compiled_loader.h"
#include "private/dictionary_entry.h"
#include "private/dictionary_reader.h"
#include "private/dictionary_state.h"
#include "private/escapes.h"
#include "private/key_text.h"

namespace tessvik {

using tessvik_private::ByteRunKey;
using tessvik_private::ByteRunValue;
using tessvik_private::DictionaryEntry;

namespace {

bool HasCompiledMagic(std::istream& stream) {
  char magic[tessvik_private::kCompiledMagicSize];
  stream.read(magic, sizeof magic);
  const bool matched = stream.gcount() == static_cast<std::streamsize>(sizeof magic) &&
                       std::memcmp(magic, tessvik_private::kCompiledMagic, sizeof magic) == 0;
  stream.clear();
  stream.seekg(0);
  return matched;
}

std::string LittleEndianBytes(const std::u16string& units) {
  std::string bytes(units.size() * 2, '\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  return bytes;
}

}  // namespace

Dictionary::Dictionary() : state_(std::make_unique<tessvik_private::DictionaryState>()) {}

Dictionary::~Dictionary() = default;

bool Dictionary::IsValid() const { return state_->valid != 0; }

bool Dictionary::InBlockMode() const { return state_->InBlockMode(); }

void Dictionary::Load(std::istream& stream) {
  std::unique_ptr<tessvik_private::DictionaryReader> reader = tessvik_private::CreateReader(stream);
  if (HasCompiledMagic(stream)) {
    tessvik_private::LoadCompiled(stream, *state_);
    return;
  }
  while (const char16_t* line = reader->ReadLine()) {
    if (line[0] == 0 || (line[0] == u'\uFEFF' && line[1] == 0)) continue;
    AddLine(line);
  }
}

void Dictionary::AddLine(const char16_t* line) {
  const tessvik_private::LineEntry entry = tessvik_private::ParseLine(line);
  if (!entry.accepted) {
    state_->valid = 0;
    return;
  }
  Store(entry.key, entry.value);
}

void Dictionary::Store(const std::string& key, std::u16string_view valueText) {
  const ByteRunKey search(key.data(), static_cast<std::uint32_t>(key.size()), false);
  if (!state_->InBlockMode()) {
    state_->entries.Remove(search);
    state_->entries.Insert(new DictionaryEntry(search, valueText.data(),
                                               static_cast<std::uint32_t>(valueText.size())));
    return;
  }
  const std::string value =
      LittleEndianBytes(tessvik_private::Unescape(valueText.data(), valueText.size()));
  const std::int64_t index = state_->blocks->AddOrReplace(
      search.KeyData(), search.KeyLength(), reinterpret_cast<const std::uint8_t*>(value.data()),
      static_cast<std::uint32_t>(value.size()), nullptr, 0);
  // Keys and values beyond the block store's 16-bit lengths cannot be kept.
  if (index == tessvik_private::FastArray::kNone) state_->valid = 0;
}

ByteRunValue* Dictionary::Find(std::string_view key) {
  const auto length = static_cast<std::uint32_t>(key.size());
  if (state_->InBlockMode()) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(key.data());
    return state_->blocks->FindValue(bytes, length);
  }
  const ByteRunKey search(key.data(), length, false);
  auto* entry = static_cast<DictionaryEntry*>(state_->entries.Find(search));
  return entry == nullptr ? nullptr : entry->Value().Get();
}

bool Dictionary::Contains(const char* keyText) {
  const tessvik_private::KeyText parsed = tessvik_private::ParseKeyText(keyText);
  if (!parsed.hasKey) return false;
  const auto length = static_cast<std::uint32_t>(parsed.key.size());
  if (state_->InBlockMode()) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(parsed.key.data());
    return state_->blocks->FindIndex(bytes, length) != tessvik_private::FastArray::kNone;
  }
  return state_->entries.Find(ByteRunKey(parsed.key.data(), length, false)) != nullptr;
}

DictionaryString Dictionary::Lookup(const char* keyText, const TextEncoding* encoding) {
  const tessvik_private::KeyText parsed = tessvik_private::ParseKeyText(keyText);
  if (!parsed.hasKey) return DictionaryString(tessvik_private::EmptyValue());
  if (ByteRunValue* found = Find(parsed.key)) return DictionaryString(found);
  const std::string_view defaultText = parsed.DefaultText();
  if (defaultText.empty()) {
    return DictionaryString(tessvik_private::EmptyValue());
  }
  const std::u16string wide = DefaultText(defaultText, encoding);
  const std::u16string value = tessvik_private::Unescape(wide.data(), wide.size());
  return DictionaryString(
      tessvik_private::MakeUtf16Value(value.data(), static_cast<std::uint32_t>(value.size())));
}

std::u16string Dictionary::DefaultText(std::string_view text, const TextEncoding* encoding) const {
  if (encoding != nullptr && *encoding != 0) {
    tessvik_private::WideBuffer wide(static_cast<std::uint32_t>(text.size()));
    tessvik_private::ConvertToWide(tessvik_private::CodePageFor(encoding), text.data(),
                                   static_cast<std::uint32_t>(text.size()), wide);
    return std::u16string(wide.Data(), wide.Length());
  }
  // Each byte widened as a signed 8-bit value: 0xE9 becomes U+FFE9.
  std::u16string wide(text.size(), u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    wide[i] = static_cast<char16_t>(static_cast<std::int16_t>(static_cast<signed char>(text[i])));
  }
  return wide;
}

}  // namespace tessvik
