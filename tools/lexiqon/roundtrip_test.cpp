// Random values made of everything that escapes, markup, quoting and line
// ends could change: compiled -> decompiled text -> every compiled format
// and back must give every key its value unchanged.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "commands.h"
#include "dictionary_files.h"
#include "input_file.h"
#include "tessvik/compiled_file.h"
#include "tessvik/dictionary.h"
#include "test_support/scratch_folder.h"

namespace lexiqon {
namespace {

namespace fs = std::filesystem;
using tessvik::CompiledEntry;

// Single units and whole fragments of escapes and markup, which a written
// text line must protect.
const std::u16string kPieces[] = {
    u"a",
    u"Z",
    u" ",
    u"\\",
    u"^",
    u"#",
    u"{",
    u"}",
    u"\"",
    u"=",
    u"$",
    u"\r",
    u"\n",
    u"\t",
    u"\u2028",
    u"\u2029",
    u"\u00E9",
    u"\u20AC",
    u"\u65E5",
    u"\uFEFF",
    u"\\t",
    u"\\\"",
    u"^[",
    u"^^",
    u"#{endl}",
    u"#{e9}",
    u"#{a}",
    u"#{comment}",
    u"#{macos}",
    u"#{mswindows}",
    u"##{endl}",
    u"#{U+20",
    u"\\#{tab}",
    std::u16string(1, u'\0'),
    std::u16string{char16_t{0xD83D}, char16_t{0xDE00}},
};
constexpr char kKeyBytes[] = "abcXYZ019/._-$ ";

std::vector<CompiledEntry> RandomEntries(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  const auto below = [&random](std::size_t limit) {
    return std::uniform_int_distribution<std::size_t>(0, limit - 1)(random);
  };
  std::vector<CompiledEntry> entries;
  for (std::size_t i = 0; i < n; ++i) {
    // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) on
    // "text" + a temporary string.
    std::string key = i % 7 == 0 ? "$/" : "/";  // keys may start with a dollar
    key += std::to_string(i);
    key += '/';
    for (std::size_t k = below(30); k > 0; --k) key += kKeyBytes[below(sizeof kKeyBytes - 1)];
    std::u16string value;
    for (std::size_t k = below(30); k > 0; --k) value += kPieces[below(std::size(kPieces))];
    entries.push_back({key, value});
  }
  return entries;
}

std::u16string Lookup(tessvik::Dictionary& dictionary, const std::string& key) {
  const std::string text = "$$$" + key;
  const auto result = dictionary.Lookup(text.c_str(), nullptr);
  std::u16string buffer(result.Length(), u'\0');
  result.CopyTo(buffer.data(), static_cast<std::uint32_t>(buffer.size()), true);
  buffer.pop_back();
  return buffer;
}

void ExpectEntries(const std::string& path, const std::vector<CompiledEntry>& entries) {
  tessvik::Dictionary dictionary;
  std::ostringstream errors;
  Reporter report(errors);
  InputFile file(path);
  LoadFile(dictionary, file, "", -1, report);
  EXPECT_EQ(errors.str(), "");
  EXPECT_TRUE(dictionary.IsValid()) << path;
  for (const CompiledEntry& entry : entries) {
    EXPECT_EQ(Lookup(dictionary, entry.key), entry.value) << path << " " << entry.key;
  }
}

TEST(RoundTrip, RandomValuesSurviveEveryFormat) {
  const testing_support::ScratchFolder folder("lexiqon-roundtrip");
  const auto path = [&folder](const char* name) { return folder.Path(name); };
  const std::vector<CompiledEntry> entries = RandomEntries(300, 11);
  std::ofstream(path("source.dat"), std::ios::binary)
      << tessvik::WriteCompiled(entries, tessvik::CompiledFormat{});
  std::ostringstream out, errors;
  ASSERT_EQ(RunLexiqon({"decompile", path("source.dat"), "-o", path("source.txt")}, out, errors), 0)
      << errors.str();
  ExpectEntries(path("source.txt"), entries);

  const std::vector<std::vector<std::string>> formats = {{"--format", "1.0"},
                                                         {"--format", "1.5"},
                                                         {"--format", "2.0"},
                                                         {"--format", "2.1"},
                                                         {"--format", "2.1", "--big-endian"}};
  for (std::vector<std::string> words : formats) {
    SCOPED_TRACE(words.size() == 3 ? "2.1 big-endian" : words[1]);
    words.insert(words.begin(), "compile");
    words.insert(words.end(), {path("source.txt"), "-o", path("out.dat")});
    ASSERT_EQ(RunLexiqon(words, out, errors), 0) << errors.str();
    ExpectEntries(path("out.dat"), entries);
    ASSERT_EQ(RunLexiqon({"decompile", path("out.dat"), "-o", path("back.txt")}, out, errors), 0)
        << errors.str();
    ExpectEntries(path("back.txt"), entries);
  }
}

}  // namespace
}  // namespace lexiqon
