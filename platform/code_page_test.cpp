#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/types.h"
#include "platform/utf_common.h"

namespace platform {
namespace {

std::u16string ToWide(const std::string& bytes, std::uint32_t codePage = kCpUtf8,
                      std::uint32_t flags = 0) {
  const int length = static_cast<int>(bytes.size());
  const int count = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
  std::u16string out(static_cast<std::size_t>(count), u'\0');
  if (count > 0) MultiByteToWideChar(codePage, flags, bytes.data(), length, out.data(), count);
  return out;
}

std::string ToNarrow(const std::u16string& units, std::uint32_t codePage = kCpUtf8) {
  const int length = static_cast<int>(units.size());
  const int count =
      WideCharToMultiByte(codePage, 0, units.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(codePage, 0, units.data(), length, out.data(), count, nullptr, nullptr);
  return out;
}

TEST(CodePageTest, InvalidUtf8BecomesOneReplacementPerMaximalSubpart) {
  // Truncated three-byte sequence, then a valid character.
  EXPECT_EQ(ToWide("\xE2\x82"
                   "A"),
            u"\uFFFDA");
  // Overlong forms and encoded surrogates: each byte on its own.
  EXPECT_EQ(ToWide("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(ToWide("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(ToWide("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  // Beyond U+10FFFF and stray continuation bytes.
  EXPECT_EQ(ToWide("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(ToWide("\x80\xBF"), u"\uFFFD\uFFFD");
  // A truncated four-byte sequence at the end is one subpart.
  EXPECT_EQ(ToWide("a\xF0\x9F\x98"), u"a\uFFFD");
  EXPECT_EQ(ToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(CodePageTest, StrictUtf8RefusesInvalidInput) {
  const char bytes[] = "ok\xC3";
  EXPECT_EQ(MultiByteToWideChar(kCpUtf8, kMbErrInvalidChars, bytes, 3, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), kErrorNoUnicodeTranslation);
  EXPECT_EQ(MultiByteToWideChar(kCpUtf8, kMbErrInvalidChars, "\xC3\xA9", 2, nullptr, 0), 1);
}

TEST(CodePageTest, CountsSizesAndShortBuffers) {
  // -1 counts and writes the NUL.
  EXPECT_EQ(MultiByteToWideChar(kCpUtf8, 0, "\xC3\xA9t\xC3\xA9", -1, nullptr, 0), 4);
  char16_t wide[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(MultiByteToWideChar(kCpUtf8, 0, "ab", -1, wide, 3), 3);
  EXPECT_EQ(wide[2], u'\0');
  // A pair does not fit in one unit.
  EXPECT_EQ(MultiByteToWideChar(kCpUtf8, 0, "\xF0\x9F\x98\x80", 4, wide, 1), 0);
  EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
  char narrow[3];
  EXPECT_EQ(WideCharToMultiByte(kCpUtf8, 0, u"\u20AC", 1, narrow, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
  EXPECT_EQ(WideCharToMultiByte(kCpUtf8, 0, u"\u20AC", -1, nullptr, 0, nullptr, nullptr), 4);
  // Zero-length input is a parameter error, as on Windows.
  EXPECT_EQ(MultiByteToWideChar(kCpUtf8, 0, "", 0, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
}

TEST(CodePageTest, LoneSurrogatesToUtf8) {
  EXPECT_EQ(ToNarrow(u"a\xD800z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(ToNarrow(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
  EXPECT_EQ(ToNarrow(u"\U0001F600"), "\xF0\x9F\x98\x80");
  const char16_t lone[] = {u'\xD83D', u'a'};
  EXPECT_EQ(WideCharToMultiByte(kCpUtf8, kWcErrInvalidChars, lone, 2, nullptr, 0, nullptr, nullptr),
            0);
  EXPECT_EQ(GetLastError(), kErrorNoUnicodeTranslation);
}

TEST(CodePageTest, Utf8RefusesDefaultCharArguments) {
  bool used = false;
  EXPECT_EQ(WideCharToMultiByte(kCpUtf8, 0, u"a", 1, nullptr, 0, nullptr, &used), 0);
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
  EXPECT_EQ(MultiByteToWideChar(437, 0, "a", 1, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
}

TEST(CodePageTest, Windows1252BothWays) {
  EXPECT_EQ(ToWide("\x80\x81\x8D\x9F\xE9", kCpAcp), u"\u20AC\u0081\u008D\u0178\u00E9");
  EXPECT_EQ(ToNarrow(u"\u20AC\u0081\u0178\u00E9", kCp1252), "\x80\x81\x9F\xE9");
  bool used = false;
  char out[4] = {};
  const char star = '*';
  EXPECT_EQ(WideCharToMultiByte(kCpAcp, 0, u"a\u0100\U0001F600", 4, out, 4, &star, &used), 4);
  EXPECT_EQ(std::string(out, 4), "a***");
  EXPECT_TRUE(used);
  EXPECT_EQ(WideCharToMultiByte(kCpAcp, 0, u"\u0100", 1, out, 4, nullptr, &used), 1);
  EXPECT_EQ(out[0], '?');
  EXPECT_EQ(WideCharToMultiByte(kCpAcp, 0, u"ab", 2, out, 4, nullptr, &used), 2);
  EXPECT_FALSE(used);
  EXPECT_FALSE(IsDBCSLeadByteEx(kCpAcp, 0x81));
  EXPECT_FALSE(IsDBCSLeadByteEx(kCpUtf8, 0xE3));
}

// Text written in pieces, as a stream hands it to a console: cut anywhere,
// converting each piece's complete part and carrying the rest gives what
// the whole text gives, invalid bytes included.
TEST(CodePageTest, TextCutAnywhereConvertsAsAWhole) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xAC\xFF\xE2\x82z\xC3";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    std::string pending = text.substr(0, cut);
    const std::size_t complete = CompleteUtf8Length(pending);
    std::u16string converted = Utf8ToUtf16(std::string_view(pending).substr(0, complete));
    pending.erase(0, complete);
    pending += text.substr(cut);
    converted += Utf8ToUtf16(pending);
    EXPECT_EQ(converted, Utf8ToUtf16(text)) << "cut at " << cut;
  }
  EXPECT_EQ(CompleteUtf8Length("ab\xF0\x9F\x8E"), 2u);
  EXPECT_EQ(CompleteUtf8Length("ab\xE2\x82\xAC"), 5u);
  EXPECT_EQ(CompleteUtf8Length("ab\x80"), 3u);  // a stray byte waits for nothing
}

}  // namespace
}  // namespace platform
