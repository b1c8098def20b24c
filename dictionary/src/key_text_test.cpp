#include "private/key_text.h"

#include <gtest/gtest.h>

namespace tessvik_private {
namespace {

TEST(ParseKeyText, SplitsKeyAndDefault) {
  KeyText t = ParseKeyText("$$$/a/b=Default");
  EXPECT_TRUE(t.hasKey);
  EXPECT_EQ(t.key, "/a/b");
  EXPECT_EQ(t.DefaultText(), "Default");
  EXPECT_EQ(ParseKeyText("/a=x").key, "/a");
  EXPECT_EQ(ParseKeyText("$$$/a").DefaultText(), "");
  EXPECT_TRUE(ParseKeyText("$$$=x").hasKey);
  EXPECT_EQ(ParseKeyText("$$$=x").key, "");
  EXPECT_EQ(ParseKeyText("$$$/a=b=c").DefaultText(), "b=c");
  for (const char* none : {"", "$", "$$", "$$/a=x", "$/a=x"}) {
    EXPECT_FALSE(ParseKeyText(none).hasKey) << none;
  }
  EXPECT_FALSE(ParseKeyText(nullptr).hasKey);
}

TEST(ParseLine, TakesTheQuotedEntryText) {
  LineEntry e = ParseLine(u"  \"$$$/a=say \\\"hi\\\"\" trailing");
  EXPECT_TRUE(e.accepted);
  EXPECT_EQ(e.key, "/a");
  EXPECT_EQ(e.value, u"say \\\"hi\\\"");
  e = ParseLine(u"\uFEFF\"$$$/q=v\"");
  EXPECT_EQ(e.key, "/q");
  e = ParseLine(u"\"$$$/open=no closing");
  EXPECT_EQ(e.value, u"no closing");
  e = ParseLine(u"\\\\\"x=y");  // only the one preceding character counts
  EXPECT_EQ(e.key, "\\\\\"x");
}

TEST(ParseLine, KeepsSpacesAndLowBytes) {
  LineEntry e = ParseLine(u"$$$/k =v ");
  EXPECT_EQ(e.key, "/k ");
  EXPECT_EQ(e.value, u"v ");
  e = ParseLine(u"a note to translators");
  EXPECT_EQ(e.key, "a note to translators");
  EXPECT_TRUE(e.value.empty());
  e = ParseLine(u"\uFEFF$$$/a=b");
  EXPECT_EQ(e.key, std::string("\xFF$$$/a"));
  EXPECT_FALSE(ParseLine(u"$$/a=b").accepted);
  EXPECT_FALSE(ParseLine(u"\"$/a=b\"").accepted);
}

}  // namespace
}  // namespace tessvik_private
