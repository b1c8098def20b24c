#include "private/fast_array.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tessvik_private {
namespace {

const std::uint8_t* Bytes(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

std::int64_t Add(FastArray& store, const std::string& key, const std::string& value) {
  return store.AddOrReplace(Bytes(key), static_cast<std::uint32_t>(key.size()), Bytes(value),
                            static_cast<std::uint32_t>(value.size()), nullptr, 0);
}

// Appended rather than "prefix" + text: g++ 12 at -O3 warns falsely
// (-Wrestrict) inside the standard library on the latter.
std::string Numbered(const char* prefix, int number) {
  std::string text(prefix);
  text += std::to_string(number);
  return text;
}

std::string ValueOf(const FastArray& store, std::uint32_t index) {
  ValuePtr value(store.ValueAt(index));
  return std::string(reinterpret_cast<const char*>(value->Data()), value->Length());
}

std::int64_t Find(const FastArray& store, const std::string& key) {
  return store.FindIndex(Bytes(key), static_cast<std::uint32_t>(key.size()));
}

TEST(FastArray, EmptyStoreFindsNothing) {
  const FastArray store;
  EXPECT_EQ(Find(store, "/a"), FastArray::kNone);
  EXPECT_EQ(Find(store, ""), FastArray::kNone);
  EXPECT_EQ(store.ValueAt(0), EmptyValue());
  EXPECT_EQ(store.ValueAt(0xFFFFFFFFu), EmptyValue());
}

TEST(FastArray, InsertionBlocksCloseAtOneHundred) {
  FastArray store;
  for (int i = 0; i < 250; ++i) {
    EXPECT_EQ(Add(store, Numbered("/k", i), Numbered("v", i)), i);
  }
  EXPECT_EQ(store.BlockCount(), 3u);
  for (int i : {0, 99, 100, 101, 249}) {
    ASSERT_EQ(Find(store, Numbered("/k", i)), i);
    EXPECT_EQ(ValueOf(store, static_cast<std::uint32_t>(i)), Numbered("v", i));
  }
  std::uint8_t key[8];
  std::uint32_t length = 0;
  EXPECT_TRUE(store.KeyAt(100, key, sizeof key, length));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(key), length), "/k100");
  EXPECT_FALSE(store.KeyAt(100, key, 5, length));  // no room for the NUL
}

TEST(FastArray, ReplacesShorterInPlaceAndLongerByOverride) {
  FastArray store;
  Add(store, "/a", "abcd");
  EXPECT_EQ(Add(store, "/a", "xy"), 0);
  EXPECT_EQ(ValueOf(store, 0), "xy");
  EXPECT_EQ(Add(store, "/a", "a much longer value"), 0);
  EXPECT_EQ(ValueOf(store, 0), "a much longer value");
  EXPECT_EQ(store.EntryCount(), 1u);
}

TEST(FastArray, EmptyKeySlotIsNotLive) {
  FastArray store;
  EXPECT_EQ(Add(store, "", "value"), 0);
  EXPECT_EQ(Find(store, ""), 0);
  EXPECT_FALSE(store.IsLive(0));
  EXPECT_EQ(store.ValueAt(0), EmptyValue());
}

TEST(FastArray, RefusesLengthsBeyondSixteenBits) {
  FastArray store;
  EXPECT_EQ(Add(store, "/big", std::string(65536, 'x')), FastArray::kNone);
  EXPECT_EQ(Add(store, "/fits", std::string(65534, 'x')), 0);
}

// Buckets keep their tags and links in padded groups of eight: inserts and
// removals across group edges, and scans of a prefix, must see exactly the
// live tags, each with its own link.
TEST(TaggedArray, ScansMatchAPlainList) {
  std::mt19937 random(5);
  TaggedArray<std::uint32_t> tags;
  std::vector<std::uint16_t> plain;
  std::vector<std::uint32_t> links;
  for (int step = 0; step < 2000; ++step) {
    const bool insert = plain.empty() || random() % 3 != 0;
    const std::size_t at = random() % (plain.size() + (insert ? 1 : 0));
    if (insert) {
      const auto tag = static_cast<std::uint16_t>(random() % 4);
      tags.Insert(at, tag, static_cast<std::uint32_t>(step));
      plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(at), tag);
      links.insert(links.begin() + static_cast<std::ptrdiff_t>(at),
                   static_cast<std::uint32_t>(step));
    } else {
      tags.Erase(at);
      plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(at));
      links.erase(links.begin() + static_cast<std::ptrdiff_t>(at));
    }
    ASSERT_EQ(tags.Size(), plain.size());
    const std::size_t count = random() % (plain.size() + 1);
    for (std::uint16_t tag = 0; tag < 5; ++tag) {
      std::vector<std::size_t> seen;
      tags.Scan(count, tag, [&](std::size_t p) {
        EXPECT_EQ(tags.LinkAt(p), links[p]);
        seen.push_back(p);
        return false;
      });
      std::vector<std::size_t> expected;
      for (std::size_t p = 0; p < count; ++p) {
        if (plain[p] == tag) expected.push_back(p);
      }
      ASSERT_EQ(seen, expected) << step;
    }
  }
}

}  // namespace
}  // namespace tessvik_private
