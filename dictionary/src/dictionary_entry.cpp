#include "private/dictionary_entry.h"

#include <ostream>
#include <string>

#include "private/code_page_conversion.h"
#include "private/escapes.h"

namespace tessvik_private {
namespace {

void WriteUnit(std::ostream& out, char16_t unit, ByteOrder order) {
  const char low = static_cast<char>(unit & 0xFF);
  const char high = static_cast<char>(unit >> 8);
  const char bytes[2] = {order == ByteOrder::kLittleEndian ? low : high,
                         order == ByteOrder::kLittleEndian ? high : low};
  out.write(bytes, 2);
}

void WriteUnits(std::ostream& out, const char16_t* units) {
  for (; *units != 0; ++units) WriteUnit(out, *units, ByteOrder::kLittleEndian);
}

// The value with the escapes that a text line needs to read it back.
void WriteEscapedValue(std::ostream& out, const ByteRunValue& value) {
  for (std::uint32_t i = 0; i < value.Units(); ++i) {
    const char16_t unit = value.UnitAt(i);
    if (unit == u'\n') {
      WriteUnits(out, u"\\n");
    } else if (unit == u'\r') {
      WriteUnits(out, u"\\r");
    } else if (unit == u'"') {
      WriteUnits(out, u"\\\"");
    } else {
      WriteUnit(out, unit, ByteOrder::kLittleEndian);
    }
  }
}

void WriteRawValue(std::ostream& out, const ByteRunValue& value,
                   const tessvik::TextEncoding* encoding, ByteOrder order) {
  if (encoding == nullptr) {
    for (std::uint32_t i = 0; i < value.Units(); ++i) WriteUnit(out, value.UnitAt(i), order);
    return;
  }
  std::u16string units(value.Units(), u'\0');
  for (std::uint32_t i = 0; i < value.Units(); ++i) units[i] = value.UnitAt(i);
  const std::string narrow = ConvertToNarrow(CodePageFor(encoding), units.data(), value.Units());
  out.write(narrow.data(), static_cast<std::streamsize>(narrow.size()));
}

}  // namespace

DictionaryEntry::DictionaryEntry(const ByteRunKey& key, const char16_t* valueText,
                                 std::uint32_t units)
    : ByteRunKey(key) {
  const std::u16string value = Unescape(valueText, units);
  value_.Reset(MakeUtf16Value(value.data(), static_cast<std::uint32_t>(value.size())));
}

DictionaryEntry::DictionaryEntry(const ByteRunKey& key) : ByteRunKey(key) {
  value_.Reset(EmptyValue());
}

DictionaryEntry::~DictionaryEntry() { value_.Reset(nullptr); }

void DictionaryEntry::Write(std::ostream& out, bool raw) const {
  if (raw) {
    WriteKey(out, true);
    WriteValue(out, true, nullptr, ByteOrder::kLittleEndian);
    return;
  }
  WriteUnits(out, u"\"");
  WriteKey(out, false);
  WriteUnits(out, u"=");
  WriteValue(out, false, nullptr, ByteOrder::kLittleEndian);
  WriteUnits(out, u"\"\r\n");
}

void DictionaryEntry::WriteKey(std::ostream& out, bool raw) const { ByteRunKey::Write(out, raw); }

void DictionaryEntry::WriteValue(std::ostream& out, bool raw, const tessvik::TextEncoding* encoding,
                                 ByteOrder order) const {
  if (raw) {
    WriteRawValue(out, *value_, encoding, order);
  } else {
    WriteEscapedValue(out, *value_);
  }
}

}  // namespace tessvik_private
