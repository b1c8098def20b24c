#include "private/escapes.h"

#include <gtest/gtest.h>

namespace tessvik_private {
namespace {

std::u16string Both(std::u16string_view text) { return Unescape(text.data(), text.size()); }

struct Case {
  std::u16string_view in;
  std::u16string_view out;
};

TEST(Unescape, ReplacesBackslashAndCaretEscapes) {
  const Case cases[] = {
      {u"a\\tb", u"a\tb"},
      {u"\\q", u"\\q"},
      {u"end\\", u"end\\"},
      {u"\\\\t", u"\\t"},
      {u"^^", u"^"},
      {u"^[Quote^]", u"\u201CQuote\u201D"},
      {u"say \\\"hi\\\"", u"say \"hi\""},
      {u"^C^R^T^x", u"\u00A9\u00AE\u2122^x"},
      {u"^\\n", u"^\\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Both(c.in), c.out) << std::string(c.in.begin(), c.in.end());
}

TEST(ExpandMarkup, ExpandsNamesCodesAndLineBreaks) {
  const Case cases[] = {
      {u"Hello#{endl}World", u"Hello\r\nWorld"},
      {u"#{copyyear}", u"2020"},
      {u"#{eacute}#{U+00E9}#{u00e9}#{e9}", u"\u00E9\u00E9\u00E9\u00E9"},
      {u"#{U+1F600}", u"#{U+1F600}"},
      {u"#{a}", u"\n"},
      {u"#{foo}", u"#{foo}"},
      {u"##{endl}", u"#\r\n"},
      {u"#{euro}#{yuml}#{nbsp}#{copy}", u"\u20AC\u00FF\u00A0\u00A9"},
      {u"#{endl", u"#{endl"},
      {u"#{}", u"#{}"},
      {u"x#", u"x#"},
      {u"Save#{comment}note", u"Save"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExpandMarkup(c.in.data(), c.in.size()), c.out)
        << std::string(c.in.begin(), c.in.end());
  }
}

TEST(ExpandMarkup, KeepsTheWindowsVariant) {
  EXPECT_EQ(Both(u"#{mswindows}Ctrl+S#{macos}Cmd+S"), u"Ctrl+S");
  EXPECT_EQ(Both(u"#{macos}Cmd+S#{mswindows}Ctrl+S"), u"Ctrl+S");
  EXPECT_EQ(Both(u"Common #{macos}Mac#{mswindows}Win"), u"Win");
  EXPECT_EQ(Both(u"Text #{macos}Mac only"), u"Text ");
  EXPECT_EQ(Both(u"#{ios}x#{comment}y#{mswindows}z"), u"z");
}

TEST(Unescape, RunsBeforeMarkup) {
  EXPECT_EQ(Both(u"\\#{endl}"), u"\\\r\n");
  EXPECT_EQ(Both(u"^#{endl}"), u"\u2318{endl}");
}

}  // namespace
}  // namespace tessvik_private
