#include "private/markup_names.h"

#include <array>

namespace tessvik_private {
namespace {

constexpr MarkupName Char(const char16_t* name, char16_t unit) {
  return {name, MarkupKind::kCharacter, unit};
}

// The HTML 4 Latin-1 set, U+00A0 to U+00FF in code-point order.
constexpr const char16_t* kLatin1[] = {
    u"nbsp",   u"iexcl",  u"cent",   u"pound",  u"curren", u"yen",    u"brvbar", u"sect",
    u"uml",    u"copy",   u"ordf",   u"laquo",  u"not",    u"shy",    u"reg",    u"macr",
    u"deg",    u"plusmn", u"sup2",   u"sup3",   u"acute",  u"micro",  u"para",   u"middot",
    u"cedil",  u"sup1",   u"ordm",   u"raquo",  u"frac14", u"frac12", u"frac34", u"iquest",
    u"Agrave", u"Aacute", u"Acirc",  u"Atilde", u"Auml",   u"Aring",  u"AElig",  u"Ccedil",
    u"Egrave", u"Eacute", u"Ecirc",  u"Euml",   u"Igrave", u"Iacute", u"Icirc",  u"Iuml",
    u"ETH",    u"Ntilde", u"Ograve", u"Oacute", u"Ocirc",  u"Otilde", u"Ouml",   u"times",
    u"Oslash", u"Ugrave", u"Uacute", u"Ucirc",  u"Uuml",   u"Yacute", u"THORN",  u"szlig",
    u"agrave", u"aacute", u"acirc",  u"atilde", u"auml",   u"aring",  u"aelig",  u"ccedil",
    u"egrave", u"eacute", u"ecirc",  u"euml",   u"igrave", u"iacute", u"icirc",  u"iuml",
    u"eth",    u"ntilde", u"ograve", u"oacute", u"ocirc",  u"otilde", u"ouml",   u"divide",
    u"oslash", u"ugrave", u"uacute", u"ucirc",  u"uuml",   u"yacute", u"thorn",  u"yuml",
};
static_assert(std::size(kLatin1) == 96);

constexpr MarkupName kSpecial[] = {
    Char(u"quot", 0x22),     Char(u"amp", 0x26),      Char(u"lt", 0x3C),
    Char(u"gt", 0x3E),       Char(u"OElig", 0x152),   Char(u"oelig", 0x153),
    Char(u"Scaron", 0x160),  Char(u"scaron", 0x161),  Char(u"Yuml", 0x178),
    Char(u"circ", 0x2C6),    Char(u"tilde", 0x2DC),   Char(u"ensp", 0x2002),
    Char(u"emsp", 0x2003),   Char(u"thinsp", 0x2009), Char(u"zwnj", 0x200C),
    Char(u"zwj", 0x200D),    Char(u"lrm", 0x200E),    Char(u"rlm", 0x200F),
    Char(u"ndash", 0x2013),  Char(u"mdash", 0x2014),  Char(u"lsquo", 0x2018),
    Char(u"rsquo", 0x2019),  Char(u"sbquo", 0x201A),  Char(u"ldquo", 0x201C),
    Char(u"rdquo", 0x201D),  Char(u"bdquo", 0x201E),  Char(u"dagger", 0x2020),
    Char(u"Dagger", 0x2021), Char(u"permil", 0x2030), Char(u"lsaquo", 0x2039),
    Char(u"rsaquo", 0x203A), Char(u"euro", 0x20AC),
};
static_assert(std::size(kSpecial) == 32);

constexpr MarkupName kControl[] = {
    {u"endl", MarkupKind::kEndl, 0},
    {u"comment", MarkupKind::kComment, 0},
    {u"copyyear", MarkupKind::kCopyYear, 0},
    {u"mswindows", MarkupKind::kWindows, 0},
    {u"ios", MarkupKind::kOtherPlatform, 0},
    {u"android", MarkupKind::kOtherPlatform, 0},
    {u"macos", MarkupKind::kOtherPlatform, 0},
    Char(u"tab", 0x09),
    Char(u"cr", 0x0D),
    Char(u"lf", 0x0A),
};

constexpr std::size_t kCount = std::size(kControl) + std::size(kLatin1) + std::size(kSpecial);

constexpr std::array<MarkupName, kCount> BuildTable() {
  std::array<MarkupName, kCount> table{};
  std::size_t next = 0;
  for (const MarkupName& name : kControl) table[next++] = name;
  for (std::size_t i = 0; i < std::size(kLatin1); ++i) {
    table[next++] = Char(kLatin1[i], static_cast<char16_t>(0xA0 + i));
  }
  for (const MarkupName& name : kSpecial) table[next++] = name;
  return table;
}

constexpr std::array<MarkupName, kCount> kTable = BuildTable();

}  // namespace

std::span<const MarkupName> MarkupNames() { return kTable; }

}  // namespace tessvik_private
