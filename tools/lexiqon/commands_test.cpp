#include "commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "arguments.h"
#include "text_output.h"

namespace lexiqon {
namespace {

namespace fs = std::filesystem;

std::string Utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

class LexiqonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("lexiqon_test_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

// Values with escapes, markup, quotation marks and text outside Latin-1.
constexpr std::u16string_view kSource =
    u"\"$$$/plain=Plain text\"\r\n"
    u"\"$$$/quotes=say \\\"hi\\\" ^[q^]\"\r\n"
    u"\"$$$/markup=one#{endl}two#{tab}#{euro}#{comment}note\"\r\n"
    u"\"$$$/literal=\\\\t ^^ ##{23}{endl} \\\\\"\r\n"
    u"\"$$$/wide=\u65E5\u672C\u8A9E \u0416 \U0001F600\"\r\n"
    u"\"$$$/variants=#{macos}Cmd#{mswindows}Ctrl\"\r\n"
    u"\"$$$/$dollar=starts with a dollar\"\r\n"
    u"\"$$$/empty=\"\r\n";

constexpr const char* kKeys[] = {"$$$/plain",   "$$$/quotes", "$$$/markup",
                                 "$$$/literal", "$$$/wide",   "$$$/variants",
                                 "$$$/$dollar", "$$$/empty",  "$$$/none=fallback"};

std::string Lookups(const std::string& file) {
  std::vector<std::string> words = {"--units", "-d", file};
  words.insert(words.end(), std::begin(kKeys), std::end(kKeys));
  std::ostringstream out;
  EXPECT_EQ(RunLookup(words, out), 0);
  return out.str();
}

TEST_F(LexiqonTest, EveryFormatRoundTripsThroughDecompile) {
  const std::string source = Write("source.txt", Utf16File(kSource));
  const std::string expected = Lookups(source);
  const std::vector<std::vector<std::string>> formats = {
      {"--format", "1.0"}, {"--format", "1.5"}, {"--format", "1.5", "--value-encoding", "utf8"},
      {"--format", "2.0"}, {"--format", "2.1"}, {"--format", "2.1", "--big-endian"}};
  std::ostringstream errors;
  for (const auto& format : formats) {
    std::vector<std::string> words = format;
    words.insert(words.end(), {source, "-o", Path("out.dat")});
    ASSERT_EQ(RunCompile(words, errors), 0) << errors.str();
    EXPECT_EQ(Lookups(Path("out.dat")), expected) << format.back();
    ASSERT_EQ(RunDecompile({Path("out.dat"), "-o", Path("back.txt")}, errors), 0);
    EXPECT_EQ(Lookups(Path("back.txt")), expected) << format.back();
  }
  std::ifstream first(Path("out.dat"), std::ios::binary);
  const std::string once((std::istreambuf_iterator<char>(first)), {});
  RunCompile({"--format", "2.1", "--big-endian", source, "-o", Path("again.dat")}, errors);
  std::ifstream second(Path("again.dat"), std::ios::binary);
  EXPECT_EQ(once, std::string((std::istreambuf_iterator<char>(second)), {}));
}

TEST_F(LexiqonTest, CompileRefusesValuesAnAnsiFileCannotHold) {
  const std::string source = Write("source.txt", Utf16File(u"$$$/k=\u65E5\n"));
  std::ostringstream errors;
  EXPECT_EQ(
      RunCompile({"--format", "1.0", "--value-encoding", "ansi", source, "-o", Path("out.dat")},
                 errors),
      1);
  EXPECT_FALSE(fs::exists(Path("out.dat")));
}

TEST_F(LexiqonTest, CheckNumbersDroppedAndShadowedLines) {
  const std::string source = Write("a.txt", "$$$/k=1\r\n$$/bad\r\n\r\n$$$/k=2\n");
  std::ostringstream out;
  EXPECT_EQ(RunCheck({source}, out), 1);
  EXPECT_EQ(out.str(), source +
                           ":2: entry starts with \"$\" but not \"$$$\"; the dictionary "
                           "becomes invalid\n" +
                           source + ":1: key \"/k\" is replaced by " + source + ":4\ninvalid\n");
}

TEST_F(LexiqonTest, LookupPrintsUtf8AndContainsAnswers) {
  const std::string source = Write("a.txt", Utf16File(u"\"$$$/k=caf\u00E9\"\n"));
  std::ostringstream out;
  RunLookup({"-d", source, "$$$/k", "$$$/x=\\t", "$$$/x"}, out);
  EXPECT_EQ(out.str(), "caf\xC3\xA9\n\t\n\n");
  out.str("");
  RunContains({"-d", source, "$$$/k", "$$/k"}, out);
  EXPECT_EQ(out.str(), "true\nfalse\n");
  EXPECT_EQ(ToUnitList(u"A\u20AC"), "0041 20AC");
  EXPECT_EQ(ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST_F(LexiqonTest, UsageAndFileErrors) {
  std::ostringstream out;
  EXPECT_THROW(RunLookup({"$$$/k"}, out), UsageError);
  EXPECT_THROW(RunLookup({"--bogus", "-d", "x", "t"}, out), UsageError);
  EXPECT_THROW(RunCompile({"--format", "2.0", "--big-endian", "in", "-o", "out"}, out), UsageError);
  EXPECT_THROW(RunStats({Path("missing")}, out), FileError);
}

}  // namespace
}  // namespace lexiqon
