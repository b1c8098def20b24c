#include "tessvik/dictionary.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "private/dictionary_entry.h"
#include "private/dictionary_internals.h"
#include "private/key_hash.h"
#include "tessvik/compiled_file.h"
#include "tessvik/hl_err_exception.h"
#include "test_support/dictionary_bytes.h"

namespace tessvik {
namespace {

using tessvik_test::LoadBytes;
using tessvik_test::LookupText;
using tessvik_test::Utf16;

std::uint32_t Hash(const std::string& key) {
  return tessvik_private::HashKey(reinterpret_cast<const std::uint8_t*>(key.data()),
                                  static_cast<std::uint32_t>(key.size()), 1021);
}

TEST(Dictionary, HashSamplesAtMostNineBytes) {
  EXPECT_EQ(Hash(""), 0u);
  EXPECT_EQ(Hash("a"), 97u);
  EXPECT_EQ(Hash("abc"), 463u);
  EXPECT_EQ(Hash("abcdefghij"), 808u);
}

TEST(Dictionary, LookupParsesKeyAndFallsBackToDefault) {
  Dictionary dictionary;
  LoadBytes(dictionary, Utf16(u"\"$$$/a/b=Entry\"\r\n\"=empty key\"\r\n", true));
  EXPECT_TRUE(dictionary.IsValid());
  EXPECT_EQ(LookupText(dictionary, "$$$/a/b=Default"), u"Entry");
  EXPECT_EQ(LookupText(dictionary, "$$$/x/y=Default\\t#{endl}"), u"Default\t\r\n");
  EXPECT_EQ(LookupText(dictionary, "$$/a/b=x"), u"");
  EXPECT_FALSE(dictionary.Contains("$/a/b=x"));
  EXPECT_TRUE(dictionary.Contains("/a/b=anything"));
  EXPECT_EQ(dictionary.Lookup("$$$/missing", nullptr).Length(), 1u);
  EXPECT_EQ(LookupText(dictionary, "$$$=x"), u"empty key");
}

TEST(Dictionary, DefaultTextEncodings) {
  Dictionary dictionary;
  EXPECT_EQ(LookupText(dictionary, "$$$/k=caf\xE9"), u"caf\uFFE9");
  const TextEncoding utf8 = kTextEncodingUtf8;
  const TextEncoding none = 0;
  EXPECT_EQ(LookupText(dictionary, "$$$/k=caf\xC3\xA9", &utf8), u"caf\u00E9");
  EXPECT_EQ(LookupText(dictionary, "$$$/k=\xE9", &none), u"\uFFE9");
}

TEST(Dictionary, FoundValuesAreNotProcessedAgain) {
  Dictionary dictionary;
  LoadBytes(dictionary, tessvik::WriteCompiled({{"/k", u"raw \\t #{endl}"}}, {}));
  EXPECT_EQ(LookupText(dictionary, "$$$/k=x"), u"raw \\t #{endl}");
}

TEST(Dictionary, TextLinesLastOneWinsAndShortDollarsInvalidate) {
  Dictionary dictionary;
  LoadBytes(dictionary, "$$$/k=one\r\n$$/bad=x\n$$$/k=two\n$$$/q=say \\\"hi\\\"");
  EXPECT_FALSE(dictionary.IsValid());
  EXPECT_EQ(LookupText(dictionary, "$$$/k"), u"two");
  EXPECT_EQ(LookupText(dictionary, "$$$/q"), u"say \"hi\"");
  EXPECT_FALSE(dictionary.Contains("$$$/bad"));
}

TEST(Dictionary, ByteOrderMarkStaysInAnUnquotedFirstLine) {
  for (bool bigEndian : {false, true}) {
    Dictionary dictionary;
    LoadBytes(dictionary, Utf16(u"$$$/a=b\n\"$$$/c=d\"\n\uFEFF\n", true, bigEndian));
    EXPECT_FALSE(dictionary.Contains("$$$/a"));
    EXPECT_TRUE(dictionary.Contains("\xFF$$$/a"));
    EXPECT_EQ(LookupText(dictionary, "$$$/c"), u"d");
  }
}

// Keys that all fall into the bucket of "/k0", so that its chain holds many
// items; keys of up to nine bytes are hashed whole.
std::vector<std::string> KeysOfOneBucket(std::size_t n) {
  std::vector<std::string> keys;
  for (int i = 0; keys.size() < n && i < 10000000; ++i) {
    std::string key = "/k" + std::to_string(i);
    if (Hash(key) == Hash("/k0")) keys.push_back(key);
  }
  return keys;
}

TEST(Dictionary, LongChainsKeepEveryEntryThroughReplacements) {
  const std::vector<std::string> keys = KeysOfOneBucket(40);
  ASSERT_EQ(keys.size(), 40u);
  std::vector<tessvik::CompiledEntry> compiled;
  for (std::size_t i = 0; i < 20; ++i) compiled.push_back({keys[i], u"compiled"});
  tessvik::CompiledFormat table15;
  table15.major = 1;
  table15.minor = 5;
  Dictionary dictionary;
  LoadBytes(dictionary, tessvik::WriteCompiled(compiled, table15));
  // Text lines replace the middle of the chain and add to its head.
  std::string text;
  for (std::size_t i = 10; i < 40; ++i) text += "$$$" + keys[i] + "=text\n";
  for (std::size_t i = 15; i < 40; i += 3) text += "$$$" + keys[i] + "=again\n";
  LoadBytes(dictionary, text);
  for (std::size_t i = 0; i < 40; ++i) {
    const std::u16string expected = i < 10                           ? u"compiled"
                                    : (i >= 15 && (i - 15) % 3 == 0) ? u"again"
                                                                     : u"text";
    EXPECT_EQ(LookupText(dictionary, ("$$$" + keys[i]).c_str()), expected) << i;
  }
  int chained = 0;
  for (auto* item =
           tessvik_private::DictionaryInternals::State(dictionary).entries.Head(Hash("/k0"));
       item != nullptr; item = item->Next()) {
    ++chained;
  }
  EXPECT_EQ(chained, 40);
}

TEST(DictionaryString, CopyToTruncatesAndThrowsOnRequest) {
  Dictionary dictionary;
  const auto result = dictionary.Lookup("$$$/k=Hello", nullptr);
  ASSERT_EQ(result.Length(), 6u);
  char16_t buffer[6] = {u'x', u'x', u'x', u'x', u'x', u'x'};
  EXPECT_EQ(result.CopyTo(buffer, 1, false), 0u);
  EXPECT_EQ(buffer[0], 0);
  result.CopyTo(buffer, 3, false);
  EXPECT_EQ(std::u16string(buffer), u"He");
  try {
    result.CopyTo(buffer, 4, true);
    ADD_FAILURE() << "no exception";
  } catch (const HLErrException& e) {
    EXPECT_EQ(e.Code(), kErrBufferTooSmall);
    EXPECT_EQ(std::u16string(buffer), u"Hel");
  }
  EXPECT_NO_THROW(result.CopyTo(buffer, 6, true));
  EXPECT_EQ(std::u16string(buffer), u"Hello");
}

TEST(Dictionary, BlockModeTakesLaterLinesAndHidesEarlierEntries) {
  Dictionary dictionary;
  LoadBytes(dictionary, "$$$/text/only=t\n");
  LoadBytes(dictionary, tessvik::WriteCompiled({{"/k", u"compiled"}}, {}));
  EXPECT_FALSE(dictionary.Contains("$$$/text/only"));
  LoadBytes(dictionary, "$$$/k=replaced#{endl}\n$$$/n=new\n");
  EXPECT_EQ(LookupText(dictionary, "$$$/k"), u"replaced\r\n");
  EXPECT_EQ(LookupText(dictionary, "$$$/n"), u"new");
  // A further file block after the open insertion block keeps every index apart.
  LoadBytes(dictionary, tessvik::WriteCompiled({{"/m", u"more"}}, {}));
  dictionary.AddLine(u"$$$/later=x");
  EXPECT_EQ(LookupText(dictionary, "$$$/m"), u"more");
  EXPECT_EQ(LookupText(dictionary, "$$$/n"), u"new");
  EXPECT_EQ(LookupText(dictionary, "$$$/later"), u"x");
}

TEST(DictionaryEntry, WrittenLineReadsBack) {
  const std::u16string value = u"a \"quoted\"\r\nline \u20AC";
  const tessvik_private::ByteRunKey key("/w", 2, false);
  tessvik_private::DictionaryEntry entry(key);
  entry.SetValue(
      tessvik_private::MakeUtf16Value(value.data(), static_cast<std::uint32_t>(value.size())));
  std::ostringstream out(std::ios::binary);
  entry.Write(out, false);
  EXPECT_EQ(out.str(), Utf16(u"\"/w=a \\\"quoted\\\"\\r\\nline \u20AC\"\r\n", false));
  Dictionary dictionary;
  LoadBytes(dictionary, Utf16(u"", true) + out.str());
  EXPECT_EQ(LookupText(dictionary, "/w"), value);
}

}  // namespace
}  // namespace tessvik
