#include <gtest/gtest.h>

#include "vantilcore/string.h"

namespace {

using namespace vantilcore::string;

UTF8String Bytes(std::initializer_list<unsigned char> bytes) { return UTF8String(bytes); }

TEST(StringConversionTest, ValidUtf8DecodesIncludingSupplementaryPlanes) {
  int error = -1;
  std::size_t position = 99;
  const UTF16String text = UTF8to16(
      Bytes({'a', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80}), &error, &position);
  EXPECT_EQ(text, UTF16String(u"a\u00E9\u20AC\U0001F600"));
  EXPECT_EQ(error, 0);
  EXPECT_EQ(position, 0u);
}

TEST(StringConversionTest, InvalidUtf8BecomesReplacementAndFirstErrorIsReported) {
  struct Case {
    UTF8String input;
    UTF16String expected;
    std::size_t position;
  };
  const Case cases[] = {
      {Bytes({'a', 0x80, 'b'}), u"a\uFFFDb", 1},                          // stray continuation
      {Bytes({0xC0, 0xAF}), u"\uFFFD\uFFFD", 0},                          // overlong
      {Bytes({0xED, 0xA0, 0x80}), u"\uFFFD\uFFFD\uFFFD", 0},              // encoded surrogate
      {Bytes({0xF4, 0x90, 0x80, 0x80}), u"\uFFFD\uFFFD\uFFFD\uFFFD", 0},  // above U+10FFFF
      {Bytes({'x', 0xE2, 0x82}), u"x\uFFFD", 1},                          // truncated at the end
      {Bytes({0xE2, 0x82, 'y', 0xFF}), u"\uFFFDy\uFFFD", 0},  // only the first is reported
  };
  for (const Case& c : cases) {
    int error = 0;
    std::size_t position = 99;
    EXPECT_EQ(UTF8to16(c.input, &error, &position), c.expected);
    EXPECT_NE(error, 0);
    EXPECT_EQ(position, c.position);
  }
  EXPECT_EQ(UTF8to16(Bytes({0xFF}), nullptr, nullptr), UTF16String(u"\uFFFD"));
}

TEST(StringConversionTest, Utf16To8RoundTripsAndReplacesUnpairedSurrogates) {
  const UTF16String text = u"a\u00E9\u20AC\U0001F600";
  EXPECT_EQ(UTF8to16(UTF16to8(text), nullptr, nullptr), text);
  const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, 0};
  EXPECT_EQ(UTF16to8(UTF16String(lone)), Bytes({'a', 0xEF, 0xBF, 0xBD, 'b', 0xEF, 0xBF, 0xBD}));
  const char16_t highAtEnd[] = {0xD83D, 0};
  EXPECT_EQ(UTF16to8(UTF16String(highAtEnd)), Bytes({0xEF, 0xBF, 0xBD}));
}

TEST(StringConversionTest, NarrowAndWideEntryPoints) {
  EXPECT_EQ(AsciiToUTF16("a\xE9\0z", 4), UTF16String(u"a\u00E9\0z", 4));
  EXPECT_EQ(StdToUTF16String("caf\xC3\xA9"), UTF16String(u"caf\u00E9"));
  EXPECT_EQ(StdToUTF16String(nullptr), UTF16String());
  EXPECT_EQ(WcharToUTF16(u"wide"), UTF16String(u"wide"));
  EXPECT_EQ(WcharToUTF16(static_cast<const char16_t*>(nullptr)), UTF16String());
}

}  // namespace
