#include "private/escapes.h"

namespace tessvik_private {
namespace {

struct Escape {
  char16_t after;
  char16_t result;
};

constexpr Escape kBackslashEscapes[] = {
    {u'"', u'"'}, {u'n', u'\n'}, {u'r', u'\r'}, {u't', u'\t'}, {u'b', u'\b'},
};

constexpr Escape kCaretEscapes[] = {
    {u'Q', u'"'},      {u'[', u'\u201C'}, {u']', u'\u201D'}, {u'{', u'\u2018'},
    {u'}', u'\u2019'}, {u'C', u'\u00A9'}, {u'R', u'\u00AE'}, {u'T', u'\u2122'},
    {u'D', u'\u00B0'}, {u'B', u'\u2022'}, {u'#', u'\u2318'}, {u'!', u'\u00AC'},
    {u'I', u'\u2206'}, {u'S', u'\u2211'}, {u'n', u'\n'},     {u'r', u'\r'},
};

template <std::size_t N>
bool Find(const Escape (&table)[N], char16_t after, char16_t& result) {
  for (const Escape& escape : table) {
    if (escape.after != after) continue;
    result = escape.result;
    return true;
  }
  return false;
}

bool Resolve(char16_t escapeChar, char16_t after, char16_t& result) {
  return escapeChar == u'\\' ? Find(kBackslashEscapes, after, result)
                             : Find(kCaretEscapes, after, result);
}

}  // namespace

std::u16string Unescape(const char16_t* text, std::size_t length) {
  const std::u16string_view all(text, length);
  std::size_t escape = all.find_first_of(u"\\^");
  // Most texts have no escapes at all.
  if (escape == std::u16string_view::npos) return ExpandMarkup(text, length);
  std::u16string out;
  out.reserve(length);
  std::size_t copied = 0;  // start of the text not yet copied
  while (escape != std::u16string_view::npos) {
    out.append(text + copied, escape - copied);
    const char16_t pending = text[escape];
    if (escape + 1 == length) {
      out.push_back(pending);
      copied = length;
      break;
    }
    const char16_t unit = text[escape + 1];
    char16_t result = 0;
    if (Resolve(pending, unit, result)) {
      out.push_back(result);
    } else {
      out.push_back(pending);
      if (unit != pending) out.push_back(unit);
    }
    copied = escape + 2;
    escape = all.find_first_of(u"\\^", copied);
  }
  if (copied < length) out.append(text + copied, length - copied);
  return ExpandMarkup(out.data(), out.size());
}

}  // namespace tessvik_private
