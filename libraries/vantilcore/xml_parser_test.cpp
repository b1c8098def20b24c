#include <gtest/gtest.h>

#include <string>

#include "vantilcore/xml.h"

namespace {

bool Parses(const std::string& text) {
  vantilcore::xml::MSXMLParserFactory factory;
  return factory.GetParser()->Parse(text);
}

// A cut-off sequence at the end once walked the parser past its buffer.
TEST(XmlParserTest, RefusesMalformedUtf8AndAcceptsWellFormed) {
  EXPECT_TRUE(Parses("<a b=\"caf\xC3\xA9 \xF0\x9F\x8E\xAC\"/>"));
  for (const std::string bad : {"\xF0\xFA", "\xFF", "\xC3", "\xE2\x82", "\xC0\x80"}) {
    EXPECT_FALSE(Parses("<a b=\"x" + bad)) << bad;
    EXPECT_FALSE(Parses("<a b=\"x" + bad + "\"/>")) << bad;
  }
  EXPECT_FALSE(Parses(std::string("<a/>\0", 5)));
  EXPECT_FALSE(Parses("<a>"));
}

}  // namespace
