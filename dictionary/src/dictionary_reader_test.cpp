#include "private/dictionary_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "test_support/dictionary_bytes.h"

namespace tessvik_private {
namespace {

std::vector<std::u16string> ReadAll(const std::string& bytes) {
  std::istringstream stream(bytes, std::ios::binary);
  auto reader = CreateReader(stream);
  std::vector<std::u16string> lines;
  while (const char16_t* line = reader->ReadLine()) lines.emplace_back(line);
  return lines;
}

using Lines = std::vector<std::u16string>;

TEST(CreateReader, ChoosesByByteOrderMark) {
  EXPECT_EQ(ReadAll(tessvik_test::Utf16(u"a\r\nb", true)), (Lines{u"a", u"", u"b"}));
  EXPECT_EQ(ReadAll(tessvik_test::Utf16(u"a\u2028b\u00E9", true, true)), (Lines{u"a", u"b\u00E9"}));
  // No mark: 8-bit text from offset 0.
  EXPECT_EQ(ReadAll("x=\xE9\ny"), (Lines{u"x=\u00E9", u"y"}));
  EXPECT_EQ(ReadAll("\xEF\xBB\xBFk"), (Lines{u"\u00EF\u00BB\u00BFk"}));
}

TEST(CreateReader, ShortStreamsAreEightBitText) {
  EXPECT_TRUE(ReadAll("").empty());
  EXPECT_EQ(ReadAll("\xFE"), (Lines{u"\u00FE"}));
}

TEST(UnicodeReader, NulEndsLineOrText) {
  EXPECT_EQ(ReadAll(tessvik_test::Utf16(std::u16string(u"ab\0cd", 5), true)),
            (Lines{u"ab", u"cd"}));
  EXPECT_EQ(ReadAll(tessvik_test::Utf16(std::u16string(u"ab\n\0cd", 6), true)), (Lines{u"ab"}));
  // A lone last byte is dropped.
  EXPECT_EQ(ReadAll(tessvik_test::Utf16(u"ab", true) + "c"), (Lines{u"ab"}));
}

TEST(MultibyteReader, NulAtLineStartEndsText) {
  EXPECT_EQ(ReadAll(std::string("a\r\0b", 4)), (Lines{u"a"}));
  EXPECT_EQ(ReadAll(std::string("ab\0c", 4)), (Lines{u"ab", u"c"}));
  EXPECT_EQ(ReadAll("\n\nz"), (Lines{u"", u"", u"z"}));
}

TEST(DictionaryReader, LongLinesGrowTheBuffer) {
  const std::u16string longLine(5000, u'x');
  EXPECT_EQ(ReadAll(tessvik_test::Utf16(longLine, true)), (Lines{longLine}));
  EXPECT_EQ(ReadAll(std::string(3000, 'y')), (Lines{std::u16string(3000, u'y')}));
}

}  // namespace
}  // namespace tessvik_private
