// The inverse of the line parser followed by Unescape and ExpandMarkup.
#include <algorithm>

#include "tessvik/text_lines.h"

namespace tessvik {
namespace {

// An escape character is doubled when the unit written after it is one of
// these: an escape takes the unit after it, even the other escape character.
constexpr std::u16string_view kCaretEscapes = u"Q[]{}CRTDB#!ISnr^\\";
constexpr std::u16string_view kBackslashEscapes = u"\"nrtb\\^";

// A surrogate without its partner, which no UTF-16 reader accepts as text.
bool LoneSurrogate(std::u16string_view value, std::size_t i) {
  const char16_t unit = value[i];
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    return i + 1 >= value.size() || value[i + 1] < 0xDC00 || value[i + 1] > 0xDFFF;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    return i == 0 || value[i - 1] < 0xD800 || value[i - 1] > 0xDBFF;
  }
  return false;
}

// The first unit that AppendValueUnit writes for value[i].
char16_t FirstWritten(std::u16string_view value, std::size_t i) {
  if (LoneSurrogate(value, i)) return u'#';
  switch (value[i]) {
    case u'"':
    case u'\n':
    case u'\r':
      return u'\\';
    case u'\0':
    case u'\u2028':
    case u'\u2029':
      return u'#';
    case u'\\':
      return i + 1 == value.size() ? u'#' : u'\\';
    default:
      return value[i];
  }
}

bool NextIsOneOf(std::u16string_view value, std::size_t i, std::u16string_view set) {
  return i + 1 < value.size() && set.find(FirstWritten(value, i + 1)) != std::u16string_view::npos;
}

// Whether the "#" at i starts what reads as markup: known markup would be
// expanded, and a checker takes unknown markup for a mistake.
bool StartsMarkup(std::u16string_view value, std::size_t i) {
  return i + 1 < value.size() && value[i + 1] == u'{' &&
         value.find(u'}', i) != std::u16string_view::npos;
}

void AppendCode(std::u16string& out, char16_t unit) {
  constexpr char16_t kHex[] = u"0123456789ABCDEF";
  out += u"#{";
  bool started = false;
  for (int shift = 12; shift >= 0; shift -= 4) {
    const auto digit = static_cast<unsigned>((unit >> shift) & 0xF);
    if (digit == 0 && !started && shift != 0) continue;
    started = true;
    out.push_back(kHex[digit]);
  }
  out.push_back(u'}');
}

void AppendValueUnit(std::u16string& out, std::u16string_view value, std::size_t i) {
  const char16_t unit = value[i];
  // As a character code, so that the written text is valid UTF-16.
  if (LoneSurrogate(value, i)) return AppendCode(out, unit);
  switch (unit) {
    case u'"':
      out += u"\\\"";
      return;
    case u'\n':
      out += u"\\n";
      return;
    case u'\r':
      out += u"\\r";
      return;
    case u'\0':
    case u'\u2028':
    case u'\u2029':
      AppendCode(out, unit);  // each would end the line
      return;
    case u'\\':
      // "\\" before the closing quote would hide it from the line parser.
      if (i + 1 == value.size()) {
        AppendCode(out, unit);
      } else {
        out += NextIsOneOf(value, i, kBackslashEscapes) ? u"\\\\" : u"\\";
      }
      return;
    case u'^':
      out += NextIsOneOf(value, i, kCaretEscapes) ? u"^^" : u"^";
      return;
    case u'#':
      if (StartsMarkup(value, i)) {
        AppendCode(out, unit);
      } else {
        out.push_back(unit);
      }
      return;
    default:
      out.push_back(unit);
  }
}

}  // namespace

bool CanWriteKey(std::string_view key) {
  for (std::size_t i = 0; i < key.size(); ++i) {
    const char byte = key[i];
    if (byte == '=' || byte == '\n' || byte == '\r' || byte == '\0') return false;
    if (byte == '"' && (i == 0 || key[i - 1] != '\\')) return false;
  }
  return true;
}

void AppendTextLine(std::u16string& out, std::string_view key, std::u16string_view value) {
  out += u"\"$$$";
  for (char byte : key) out.push_back(static_cast<unsigned char>(byte));
  out.push_back(u'=');
  for (std::size_t i = 0; i < value.size(); ++i) AppendValueUnit(out, value, i);
  out += u"\"\r\n";
}

}  // namespace tessvik
