// PO text written straight from the messages, in the layout gettext's own
// tools give it: libgettextpo would hold every message as an object of its
// own and write only to a named file, at twice msgunfmt's memory.
#include <algorithm>
#include <string_view>

#include "po_file.h"
#include "text_output.h"

namespace lexiqon {
namespace {

constexpr std::size_t kWidth = 79;  // as msgcat and msgmerge wrap

constexpr char kHeader[] =
    "Project-Id-Version: Pellicor 19.0\n"
    "Report-Msgid-Bugs-To: \n"
    "PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\n"
    "Last-Translator: FULL NAME <EMAIL@ADDRESS>\n"
    "Language-Team: LANGUAGE <LL@li.org>\n"
    "Language: @LANGUAGE@\n"
    "MIME-Version: 1.0\n"
    "Content-Type: text/plain; charset=UTF-8\n"
    "Content-Transfer-Encoding: 8bit\n";

// PO cannot carry a NUL; its UTF-8 cannot carry a lone surrogate.
const char* Unwritable(const std::u16string& text) {
  if (text.find(u'\0') != std::u16string::npos) return "a NUL";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      return "a lone surrogate";
    }
  }
  return nullptr;
}

// The C escapes of a PO string, without the quotation marks.
std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\a':
        out += "\\a";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\v':
        out += "\\v";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

// Columns a character takes: two for East Asian wide ones, as gettext
// counts them when it wraps.
std::size_t Width(char32_t c) {
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                    (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                    (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
  return wide ? 2 : 1;
}

// The columns of UTF-8 text up to end, character by character.
std::size_t Columns(std::string_view text, std::size_t end = std::string_view::npos) {
  std::size_t columns = 0;
  end = std::min(end, text.size());
  for (std::size_t i = 0; i < end;) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t size = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    auto c = static_cast<char32_t>(size == 1 ? lead : lead & (0x7Fu >> size));
    for (std::size_t k = 1; k < size && i + k < text.size(); ++k) {
      c = (c << 6) | (static_cast<char32_t>(static_cast<unsigned char>(text[i + k])) & 0x3Fu);
    }
    columns += Width(c);
    i += size;
  }
  return columns;
}

// keyword "text", on one line when it fits and holds no inner line break;
// else keyword "" and one quoted line per piece: a line break ends a
// piece, and a piece wider than the page breaks after a space.
void AppendString(std::string& out, std::string_view keyword, std::string_view text) {
  const std::string escaped = Escaped(text);
  const std::size_t inner = escaped.find("\\n");
  const bool oneLine = inner == std::string::npos || inner + 2 == escaped.size();
  if (oneLine && keyword.size() + 3 + Columns(escaped) <= kWidth) {
    out.append(keyword).append(" \"").append(escaped).append("\"\n");
    return;
  }
  out.append(keyword).append(" \"\"\n");
  std::string_view rest = escaped;
  while (!rest.empty()) {
    std::size_t end = rest.find("\\n");
    end = end == std::string_view::npos ? rest.size() : end + 2;
    std::string_view piece = rest.substr(0, end);
    rest.remove_prefix(end);
    while (Columns(piece) + 2 > kWidth) {
      // After the last space that leaves the line within the page.
      std::size_t cut = std::string_view::npos;
      for (std::size_t i = 0; i + 1 < piece.size(); ++i) {
        if (piece[i] != ' ') continue;
        if (Columns(piece, i + 1) + 2 > kWidth) break;
        cut = i + 1;
      }
      // A word wider than the page stays whole and ends its line.
      if (cut == std::string_view::npos) {
        const std::size_t space = piece.find(' ');
        if (space == std::string_view::npos || space + 1 >= piece.size()) break;
        cut = space + 1;
      }
      out.append("\"").append(piece.substr(0, cut)).append("\"\n");
      piece.remove_prefix(cut);
    }
    out.append("\"").append(piece).append("\"\n");
  }
}

// Key bytes are 8-bit; in a PO file they are the Latin-1 characters.
std::string KeyToUtf8(const std::string& key) {
  std::u16string wide;
  wide.reserve(key.size());
  for (char byte : key) wide.push_back(static_cast<unsigned char>(byte));
  return ToUtf8(wide);
}

}  // namespace

std::string WritePo(const std::vector<PoMessage>& messages, const std::string& language,
                    const std::string& where, Reporter& report) {
  std::string header = kHeader;
  const std::string slot = "@LANGUAGE@";
  header.replace(header.find(slot), slot.size(), language);
  std::string out;
  out.reserve(256 + messages.size() * 128);
  AppendString(out, "msgid", "");
  AppendString(out, "msgstr", header);
  for (const PoMessage& message : messages) {
    const char* problem = Unwritable(message.source);
    if (problem == nullptr) problem = Unwritable(message.translation);
    if (problem != nullptr) {
      report.Error(where, "the value of \"" + message.key + "\" holds " + problem +
                              ", which a PO file cannot carry; left out");
      continue;
    }
    out.push_back('\n');
    AppendString(out, "msgctxt", KeyToUtf8(message.key));
    AppendString(out, "msgid", ToUtf8(message.source));
    AppendString(out, "msgstr", ToUtf8(message.translation));
  }
  return out;
}

}  // namespace lexiqon
