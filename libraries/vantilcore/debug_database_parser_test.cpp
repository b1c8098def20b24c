#include "debug_database_parser.h"

#include <gtest/gtest.h>

namespace {

using vantilcore::debug::detail::ParseDebugDatabase;

UTF8String U8(const char* text) { return UTF8String(reinterpret_cast<const unsigned char*>(text)); }

TEST(DebugDatabaseParserTest, ParsesTrimsSkipsAndLetsTheLastDuplicateWin) {
  const auto entries = ParseDebugDatabase(
      "\xEF\xBB\xBF"
      "first=1\r\n"
      "# comment=ignored\n"
      "\n"
      "   \t\n"
      "  spaced key \t=  spaced value  \n"
      "no equals sign\n"
      "=no key\n"
      "dup=old\n"
      "dup=new\n"
      "empty=\n"
      "equation=a=b\n"
      "last=unterminated");
  const std::map<UTF8String, UTF8String> expected = {
      {U8("first"), U8("1")},      {U8("spaced key"), U8("spaced value")},
      {U8("dup"), U8("new")},      {U8("empty"), U8("")},
      {U8("equation"), U8("a=b")}, {U8("last"), U8("unterminated")}};
  EXPECT_EQ(entries, expected);
}

TEST(DebugDatabaseParserTest, EmptyAndBinaryInputGiveNoCrash) {
  EXPECT_TRUE(ParseDebugDatabase("").empty());
  const std::string binary("\0\xFF=\n\0k=v", 8);
  const auto entries = ParseDebugDatabase(binary);
  EXPECT_EQ(entries.size(), 2u);  // NUL bytes are key text, not whitespace
}

}  // namespace
