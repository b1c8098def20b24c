#include <istream>

#include "private/dictionary_reader.h"
#include "private/key_text.h"
#include "tessvik/text_lines.h"

namespace tessvik {

TextLineReader::TextLineReader(std::istream& stream)
    : reader_(tessvik_private::CreateReader(stream)) {
  // A load rewinds after choosing the reader, so the byte-order mark comes
  // back as U+FEFF at the start of the first line.
  stream.clear();
  stream.seekg(0);
}

TextLineReader::~TextLineReader() = default;

bool TextLineReader::Next(std::u16string_view& line) {
  const char16_t* text = reader_->ReadLine();
  if (text == nullptr) return false;
  line = text;
  return true;
}

char16_t TextLineReader::LastTerminator() const { return reader_->LastTerminator(); }

TextLine ParseTextLine(std::u16string_view line) {
  tessvik_private::LineEntry entry = tessvik_private::ParseLine(line);
  TextLine parsed;
  parsed.accepted = entry.accepted;
  parsed.key = std::move(entry.key);
  parsed.value = entry.value;
  const tessvik_private::EntrySpan span = tessvik_private::FindEntryText(line);
  parsed.quoted = span.open != std::u16string_view::npos;
  parsed.closed = span.close != std::u16string_view::npos;
  if (parsed.closed) parsed.trailing = line.substr(span.close + 1);
  if (!parsed.accepted) return parsed;
  std::u16string_view text = span.text;
  if (text.starts_with(u"$$$")) text.remove_prefix(3);
  const std::size_t equals = text.find(u'=');
  parsed.hasEquals = equals != std::u16string_view::npos;
  parsed.keyText = text.substr(0, equals);
  return parsed;
}

}  // namespace tessvik
