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
  return {entry.accepted, std::move(entry.key), entry.value};
}

}  // namespace tessvik
