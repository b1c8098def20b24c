#include "dictionary/private/escapes.h"

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
  std::u16string out;
  out.reserve(length);
  char16_t pending = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const char16_t unit = text[i];
    if (pending == 0) {
      if (unit == u'\\' || unit == u'^') {
        pending = unit;
      } else {
        out.push_back(unit);
      }
      continue;
    }
    char16_t result = 0;
    if (Resolve(pending, unit, result)) {
      out.push_back(result);
    } else {
      out.push_back(pending);
      if (unit != pending) out.push_back(unit);
    }
    pending = 0;
  }
  if (pending != 0) out.push_back(pending);
  return ExpandMarkup(out.data(), out.size());
}

}  // namespace tessvik_private
