#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

using Arguments = std::vector<std::u16string>;

TEST(CommandLineTest, SplitsAsWindowsDoes) {
  EXPECT_EQ(SplitCommandLine(u"  a\tb  "), (Arguments{u"a", u"b"}));
  EXPECT_EQ(SplitCommandLine(u"\"a b\" c"), (Arguments{u"a b", u"c"}));
  // 2n backslashes + quote: n backslashes, the quote toggles.
  EXPECT_EQ(SplitCommandLine(u"a\\\\\"b c\""), (Arguments{u"a\\b c"}));
  // 2n+1 backslashes + quote: n backslashes and a literal quote.
  EXPECT_EQ(SplitCommandLine(u"a\\\\\\\"b c"), (Arguments{u"a\\\"b", u"c"}));
  // Backslashes not before a quote are literal.
  EXPECT_EQ(SplitCommandLine(u"C:\\dir\\ x"), (Arguments{u"C:\\dir\\", u"x"}));
  // "" inside quotes is a literal quote and ends the quoted part.
  EXPECT_EQ(SplitCommandLine(u"\"a\"\"b c\""), (Arguments{u"a\"b", u"c"}));
  EXPECT_EQ(SplitCommandLine(u"\"\" x"), (Arguments{u"", u"x"}));
  EXPECT_EQ(SplitCommandLine(u"\"\"\"a"), (Arguments{u"\"a"}));
  EXPECT_TRUE(SplitCommandLine(u" \t ").empty());
}

TEST(CommandLineTest, QuotingRoundTrips) {
  const std::vector<Arguments> cases = {
      {u"plain", u"with space", u""},
      {u"C:\\Program Files\\", u"trailing\\\\"},
      {u"say \"hi\"", u"\\\"", u"\"", u"a\\\\\"b"},
      {u"tab\there", u"\\\\server\\share"},
  };
  for (const Arguments& arguments : cases) {
    const std::u16string line = QuoteCommandLine(arguments);
    EXPECT_EQ(SplitCommandLine(line), arguments);
  }
  EXPECT_EQ(QuoteCommandLine({u"a", u"b c", u"C:\\x\\"}), u"a \"b c\" C:\\x\\");
  EXPECT_EQ(QuoteCommandLine({u"d\\ e\\"}), u"\"d\\ e\\\\\"");
}

}  // namespace
}  // namespace platform
