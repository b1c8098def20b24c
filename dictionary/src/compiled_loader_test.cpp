#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <vector>

#include "private/dictionary_internals.h"
#include "tessvik/compiled_file.h"
#include "tessvik/dictionary.h"
#include "test_support/dictionary_bytes.h"

// The largest single allocation since the last reset: hostile counts must
// not turn into allocations larger than the file could fill.
namespace {
std::size_t largestAllocation = 0;
}  // namespace

// Every allocation of the test comes from here and goes back to free().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpragmas"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  largestAllocation = std::max(largestAllocation, size);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace tessvik_private {
namespace {

using tessvik::CompiledEntry;
using tessvik::CompiledFormat;
using tessvik::Dictionary;
using tessvik::WriteCompiled;
using tessvik_test::LoadBytes;
using tessvik_test::LookupText;

const std::vector<CompiledEntry> kEntries = {
    {"/Frontend/Title", u"Harlund \"Pellicor\"\r\n#{endl}"},
    {"/a", u"\u00E9t\u00E9 \u20AC \u65E5\u672C"},
    {"/abcdefghij/long/key", u"x"},
    {"/empty", u""},
};

CompiledFormat Format(std::uint8_t major, std::uint8_t minor, bool bigEndian = false) {
  CompiledFormat format;
  format.major = major;
  format.minor = minor;
  format.bigEndian = bigEndian;
  return format;
}

std::vector<CompiledFormat> AllFormats() {
  return {Format(1, 0), Format(1, 5), Format(2, 0), Format(2, 1), Format(2, 1, true)};
}

void ExpectAllEntries(Dictionary& dictionary, const std::vector<CompiledEntry>& entries) {
  for (const CompiledEntry& entry : entries) {
    const std::string key = "$$$" + entry.key + "=missing";
    EXPECT_EQ(LookupText(dictionary, key.c_str()), entry.value) << entry.key;
  }
}

TEST(CompiledLoader, EveryVersionLoadsTheSameEntries) {
  for (const CompiledFormat& format : AllFormats()) {
    Dictionary dictionary;
    LoadBytes(dictionary, WriteCompiled(kEntries, format));
    SCOPED_TRACE(int(format.major) * 10 + format.minor + (format.bigEndian ? 100 : 0));
    EXPECT_TRUE(dictionary.IsValid());
    ExpectAllEntries(dictionary, kEntries);
    EXPECT_FALSE(dictionary.Contains("$$$/not/there"));
    EXPECT_EQ(dictionary.InBlockMode(), format.major == 2);
  }
}

TEST(CompiledLoader, OnlyVersionOneHoldsAnEmptyKey) {
  Dictionary dictionary;
  LoadBytes(dictionary, WriteCompiled({{"", u"empty key"}}, Format(1, 0)));
  EXPECT_EQ(LookupText(dictionary, "$$$=x"), u"empty key");
  EXPECT_THROW(WriteCompiled({{"", u"v"}}, Format(2, 0)), std::invalid_argument);
}

TEST(CompiledLoader, EightBitValuesOfVersionOne) {
  for (const std::uint8_t encoding : {std::uint8_t{1}, std::uint8_t{2}}) {
    CompiledFormat format = Format(1, 5);
    format.valueEncoding = encoding;
    Dictionary dictionary;
    LoadBytes(dictionary, WriteCompiled({{"/k", u"caf\u00E9"}}, format));
    EXPECT_EQ(LookupText(dictionary, "$$$/k"), u"caf\u00E9");
  }
}

TEST(CompiledLoader, LaterVersionOneFileShadows) {
  Dictionary dictionary;
  LoadBytes(dictionary, WriteCompiled({{"/k", u"old"}, {"/o", u"only"}}, Format(1, 0)));
  LoadBytes(dictionary, WriteCompiled({{"/k", u"new"}}, Format(1, 5)));
  EXPECT_EQ(LookupText(dictionary, "$$$/k"), u"new");
  EXPECT_EQ(LookupText(dictionary, "$$$/o"), u"only");
}

TEST(CompiledLoader, VersionTwoFilesMergeOnCommonKeys) {
  Dictionary dictionary;
  LoadBytes(dictionary, WriteCompiled({{"/k", u"first"}, {"/a", u"a"}}, Format(2, 0)));
  LoadBytes(dictionary, WriteCompiled({{"/k", u"second, longer"}, {"/b", u"b"}}, Format(2, 1)));
  EXPECT_TRUE(dictionary.IsValid());
  ExpectAllEntries(dictionary, {{"/k", u"second, longer"}, {"/a", u"a"}, {"/b", u"b"}});
  const FastArray& store = *tessvik_private::DictionaryInternals::State(dictionary).blocks;
  EXPECT_EQ(store.EntryCount(), 4u);
  EXPECT_FALSE(store.IsLive(2));  // the second file's slot for /k was removed
  // A file of nothing but known keys ends with no live slot and is dropped.
  LoadBytes(dictionary, WriteCompiled({{"/a", u"A"}}, Format(2, 0)));
  EXPECT_EQ(store.EntryCount(), 4u);
  EXPECT_EQ(LookupText(dictionary, "$$$/a"), u"A");
}

TEST(CompiledLoader, ConflictingFirstIndexDropsTheBlock) {
  CompiledFormat second = Format(2, 0);
  second.firstIndex = 7;
  Dictionary dictionary;
  LoadBytes(dictionary, WriteCompiled({{"/k", u"first"}}, Format(2, 0)));
  LoadBytes(dictionary, WriteCompiled({{"/j", u"second"}}, second));
  EXPECT_TRUE(dictionary.IsValid());
  EXPECT_FALSE(dictionary.Contains("$$$/j"));
  second.firstIndex = 1;  // equal to the entry count: appended, never merged
  LoadBytes(dictionary, WriteCompiled({{"/j", u"second"}, {"/k", u"shadowed"}}, second));
  EXPECT_EQ(LookupText(dictionary, "$$$/k"), u"first");
  EXPECT_EQ(LookupText(dictionary, "$$$/j"), u"second");
}

TEST(CompiledLoader, BlockWithoutKeysIsReachableByIndexOnly) {
  CompiledFormat format = Format(2, 1, true);
  format.keysPresent = false;
  Dictionary dictionary;
  LoadBytes(dictionary, WriteCompiled({{"/k", u"v"}}, format));
  EXPECT_TRUE(dictionary.IsValid());
  EXPECT_FALSE(dictionary.Contains("$$$/k"));
  ValuePtr value(tessvik_private::DictionaryInternals::State(dictionary).blocks->ValueAt(0));
  EXPECT_EQ(value->Units(), 1u);
  EXPECT_EQ(value->UnitAt(0), u'v');
  // A keyed file after it cannot merge with it: its entries come after the
  // keyless block's indices and are found there.
  LoadBytes(dictionary, WriteCompiled({{"/k", u"keyed"}, {"/j", u"j"}}, Format(2, 0)));
  ExpectAllEntries(dictionary, {{"/k", u"keyed"}, {"/j", u"j"}});
  EXPECT_EQ(tessvik_private::DictionaryInternals::State(dictionary).blocks->EntryCount(), 3u);
}

TEST(CompiledLoader, MergingReachesFileAndInsertedEntries) {
  Dictionary dictionary;
  LoadBytes(dictionary,
            WriteCompiled({{"/k", u"a long first value"}, {"/n", u"neighbour"}}, Format(2, 0)));
  dictionary.AddLine(u"$$$/t=from a text line");  // an insertion block
  // A shorter value from a big-endian file overwrites the first file's
  // shared text in place; the inserted entry takes the merged value too.
  LoadBytes(dictionary, WriteCompiled({{"/k", u"short"}, {"/t", u"merged"}, {"/new", u"new"}},
                                      Format(2, 1, true)));
  EXPECT_TRUE(dictionary.IsValid());
  ExpectAllEntries(dictionary,
                   {{"/k", u"short"}, {"/n", u"neighbour"}, {"/t", u"merged"}, {"/new", u"new"}});
  EXPECT_EQ(tessvik_private::DictionaryInternals::State(dictionary).blocks->EntryCount(), 6u);
}

TEST(CompiledLoader, BlockWhoseLiveCountIsZeroIsDropped) {
  // One entry /a=v in version 2.0: the live count sits at 37.
  std::string file = WriteCompiled({{"/a", u"v"}}, Format(2, 0));
  file[37] = 0;
  Dictionary dictionary;
  LoadBytes(dictionary, file);
  EXPECT_TRUE(dictionary.IsValid());
  EXPECT_TRUE(dictionary.InBlockMode());
  EXPECT_EQ(tessvik_private::DictionaryInternals::State(dictionary).blocks->EntryCount(), 0u);
  EXPECT_FALSE(dictionary.Contains("$$$/a"));
  // The store is still empty, so the next file starts at index 0.
  LoadBytes(dictionary, WriteCompiled({{"/a", u"w"}}, Format(2, 0)));
  EXPECT_EQ(LookupText(dictionary, "$$$/a"), u"w");
}

TEST(CompiledLoader, EmptyBlockLeavesBlockModeWithoutEntries) {
  Dictionary dictionary;
  LoadBytes(dictionary, tessvik_test::Utf16(u"\"$$$/t=text\"", true));
  LoadBytes(dictionary, WriteCompiled({}, Format(2, 0)));
  EXPECT_TRUE(dictionary.IsValid());
  EXPECT_TRUE(dictionary.InBlockMode());
  EXPECT_EQ(tessvik_private::DictionaryInternals::State(dictionary).blocks->EntryCount(), 0u);
  EXPECT_FALSE(dictionary.Contains("$$$/t"));  // the entry table is no longer asked
  dictionary.AddLine(u"$$$/t=again");
  EXPECT_EQ(LookupText(dictionary, "$$$/t"), u"again");
}

TEST(CompiledLoader, EveryTruncationIsRejected) {
  for (const CompiledFormat& format : AllFormats()) {
    const std::string file = WriteCompiled(kEntries, format);
    for (std::size_t size = 21; size < file.size(); ++size) {
      Dictionary dictionary;
      LoadBytes(dictionary, file.substr(0, size));
      EXPECT_FALSE(dictionary.IsValid()) << size;
    }
  }
}

void Patch(std::string& file, std::size_t at, std::uint32_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
}

// Loads the file and checks that no allocation outgrew what the file could
// supply: the store's fixed bucket array plus a few times the file size.
bool LoadsValid(const std::string& file) {
  largestAllocation = 0;
  bool valid = false;
  {
    Dictionary dictionary;
    LoadBytes(dictionary, file);
    valid = dictionary.IsValid();
  }
  EXPECT_LE(largestAllocation, 64 * 1024 + 16 * file.size());
  return valid;
}

TEST(CompiledLoader, InconsistentFieldsAreRejected) {
  // One entry /a=v in version 2.0: block at 28; key offsets at 53, value
  // lengths at 63, bucket numbers at 69, slot list at 75.
  const std::string file = WriteCompiled({{"/a", u"v"}}, Format(2, 0));
  ASSERT_TRUE(LoadsValid(file));
  const struct {
    std::size_t at;
    std::uint32_t value;
    std::size_t size;
  } patches[] = {
      {24, 0xFFFFFFFF, 4}, {33, 0xFFFFFFFF, 4}, {37, 2, 4}, {41, 0xFFFFFFFF, 4},
      {53, 1000, 4},       {57, 3, 2},          {63, 1, 2}, {63, 4, 2},
      {69, 1021, 2},       {71, 0xFFFFFFFF, 4}, {75, 1, 4}, {79, 0xFFFFFFFF, 4},
  };
  for (const auto& patch : patches) {
    std::string bad = file;
    Patch(bad, patch.at, patch.value, patch.size);
    EXPECT_FALSE(LoadsValid(bad)) << patch.at;
  }
  std::string table15 = WriteCompiled({{"/a", u"v"}}, Format(1, 5));
  Patch(table15, 24, 0xFFFFFFFF, 4);
  EXPECT_FALSE(LoadsValid(table15));
  std::string table10 = WriteCompiled({{"/a", u"v"}}, Format(1, 0));
  Patch(table10, 24, 0xFFFF, 2);
  EXPECT_FALSE(LoadsValid(table10));
}

TEST(CompiledLoader, HostileVersionOneTablesAreRejected) {
  // One entry /a=v. Version 1.0: records at 26 and 32 (bucket, position),
  // key length at 38, value length at 44. Version 1.5: ends at 28, key and
  // value lengths at 32 and 36, bucket number at 40.
  const std::string table10 = WriteCompiled({{"/a", u"v"}}, Format(1, 0));
  const std::string table15 = WriteCompiled({{"/a", u"v"}}, Format(1, 5));
  ASSERT_TRUE(LoadsValid(table10));
  ASSERT_TRUE(LoadsValid(table15));
  const struct {
    const std::string* file;
    std::size_t at;
    std::uint32_t value;
    std::size_t size;
  } patches[] = {
      {&table10, 26, 1021, 2},       {&table10, 34, 0xFFFFFFFF, 4}, {&table10, 38, 0xFFFFFFFF, 4},
      {&table10, 44, 0xFFFFFFFF, 4}, {&table10, 44, 1, 4},          {&table15, 28, 3, 4},
      {&table15, 28, 0xFFFFFFFF, 4}, {&table15, 32, 0xFFFFFFFF, 4}, {&table15, 36, 0xFFFFFFFF, 4},
      {&table15, 36, 1, 4},          {&table15, 40, 1021, 2},
  };
  for (const auto& patch : patches) {
    std::string bad = *patch.file;
    Patch(bad, patch.at, patch.value, patch.size);
    EXPECT_FALSE(LoadsValid(bad)) << (patch.file == &table10 ? "1.0 at " : "1.5 at ") << patch.at;
  }
}

TEST(CompiledLoader, ExtraRunsAreChecked) {
  // The writer leaves no extra runs: replace its final extra count by one
  // run of text size 2 (count, text size, owner, offset, length, text).
  std::string file = WriteCompiled({{"/a", u"v"}}, Format(2, 0));
  file.resize(file.size() - 4);
  const std::size_t at = file.size();
  file += std::string("\1\0\0\0\2\0\0\0\0\0\0\0\0\0\0\0\2\0x\0", 20);
  ASSERT_TRUE(LoadsValid(file));
  const struct {
    std::size_t offset;
    std::uint32_t value;
    std::size_t size;
  } patches[] = {
      {0, 0xFFFFFFFF, 4}, {4, 0xFFFFFFFF, 4}, {8, 1, 4}, {12, 1, 4}, {16, 4, 2},
  };
  for (const auto& patch : patches) {
    std::string bad = file;
    Patch(bad, at + patch.offset, patch.value, patch.size);
    EXPECT_FALSE(LoadsValid(bad)) << patch.offset;
  }
}

TEST(CompiledLoader, UnknownVersionsAndShortHeadersLoadNothing) {
  std::string file = WriteCompiled({{"/a", u"v"}}, Format(1, 5));
  for (auto [major, minor] : {std::pair{3, 0}, {1, 2}, {2, 200}, {0, 0}}) {
    file[21] = static_cast<char>(major);
    file[22] = static_cast<char>(minor);
    Dictionary dictionary;
    LoadBytes(dictionary, file);
    EXPECT_FALSE(dictionary.IsValid());
    EXPECT_FALSE(dictionary.Contains("$$$/a"));
  }
  EXPECT_FALSE(LoadsValid("Lexiqon Binary Format"));
  EXPECT_FALSE(LoadsValid("Lexiqon Binary Format\x02"));
  EXPECT_TRUE(LoadsValid(WriteCompiled({}, Format(1, 0))));
}

}  // namespace
}  // namespace tessvik_private
