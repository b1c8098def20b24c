#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace tessvik_private {
class DictionaryReader;
}

// Text dictionary lines as Dictionary::Load reads them, and the one writer
// of lines that read back as the same key and value.
namespace tessvik {

// Splits a text dictionary into lines by its byte-order mark, as a load
// does: a carriage return and line feed pair gives a line and an empty one.
class TextLineReader {
 public:
  explicit TextLineReader(std::istream& stream);
  TextLineReader(const TextLineReader&) = delete;
  TextLineReader& operator=(const TextLineReader&) = delete;
  ~TextLineReader();

  // The next line without its end, valid until the next call; false at the
  // end of the text (no more bytes, or a NUL at the start of a line).
  bool Next(std::u16string_view& line);
  // The unit that ended the last line; 0 when the end of the text did.
  char16_t LastTerminator() const;

 private:
  std::unique_ptr<tessvik_private::DictionaryReader> reader_;
};

// A line split into key bytes and value text, before escapes and markup,
// with what a checker needs to say where the line's parts are. The views
// point into the line.
struct TextLine {
  bool accepted = false;  // false: a short run of "$" that clears the valid flag
  std::string key;
  std::u16string_view value;
  bool quoted = false;           // an opening quotation mark
  bool closed = false;           // and a closing one
  bool hasEquals = false;        // the entry text holds "="
  std::u16string_view keyText;   // the key's characters, before their high bits go
  std::u16string_view trailing;  // text after the closing quotation mark
};

TextLine ParseTextLine(std::u16string_view line);

// Whether a quoted line can carry the key: it holds no "=", no line end, no
// NUL and no quotation mark without a backslash before it.
bool CanWriteKey(std::string_view key);

// Appends "$$$key=value" in quotes and a carriage return and line feed,
// escaping only what a load would otherwise change (quotation marks, line
// ends, and backslashes, carets and "#" where they would start an escape
// or markup; NUL, line and paragraph separators and lone surrogates become
// character codes), so that loading the line gives key and value back
// exactly and the line is valid UTF-16.
// The key must pass CanWriteKey.
void AppendTextLine(std::u16string& out, std::string_view key, std::u16string_view value);

}  // namespace tessvik
