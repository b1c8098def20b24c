#include "private/key_text.h"

#include <cstring>

namespace tessvik_private {
namespace {

// Position of the first quotation mark at or after from whose preceding
// character is not a backslash.
std::size_t FindQuote(std::u16string_view line, std::size_t from) {
  for (std::size_t i = from; i < line.size(); ++i) {
    if (line[i] != u'"') continue;
    if (i == 0 || line[i - 1] != u'\\') return i;
  }
  return std::u16string_view::npos;
}

}  // namespace

EntrySpan FindEntryText(std::u16string_view line) {
  EntrySpan span;
  span.open = FindQuote(line, 0);
  if (span.open == std::u16string_view::npos) {
    span.text = line;
    return span;
  }
  const std::u16string_view rest = line.substr(span.open + 1);
  const std::size_t close = FindQuote(rest, 0);
  if (close == std::u16string_view::npos) {
    span.text = rest;
  } else {
    span.close = span.open + 1 + close;
    span.text = rest.substr(0, close);
  }
  return span;
}

KeyText ParseKeyText(const char* text) {
  KeyText parsed;
  if (text == nullptr || *text == 0) return parsed;
  if (text[0] == '$') {
    if (text[1] != '$' || text[2] != '$') return parsed;
    text += 3;
  }
  parsed.hasKey = true;
  // strchr scans many bytes at a time; strcspn walks a character set.
  const char* equals = std::strchr(text, '=');
  if (equals == nullptr) {
    parsed.key = std::string_view(text);
  } else {
    parsed.key = std::string_view(text, static_cast<std::size_t>(equals - text));
    parsed.defaultStart = equals + 1;
  }
  return parsed;
}

LineEntry ParseLine(std::u16string_view line) {
  LineEntry entry;
  std::u16string_view text = FindEntryText(line).text;
  if (!text.empty() && text.front() == u'$') {
    if (!text.starts_with(u"$$$")) return entry;
    text.remove_prefix(3);
  }
  entry.accepted = true;
  const std::size_t equals = text.find(u'=');
  const std::u16string_view key = text.substr(0, equals);
  entry.key.reserve(key.size());
  for (char16_t unit : key) entry.key.push_back(static_cast<char>(unit & 0xFF));
  if (equals != std::u16string_view::npos) entry.value = text.substr(equals + 1);
  return entry;
}

}  // namespace tessvik_private
