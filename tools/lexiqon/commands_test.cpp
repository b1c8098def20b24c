#include "commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "test_support/scratch_folder.h"
#include "text_output.h"

namespace lexiqon {
namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;

std::string Utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

class LexiqonTest : public ::testing::Test, protected testing_support::ScratchFolder {
 protected:
  // Runs lexiqon in this process; results in out_, messages in err_.
  int Run(const std::vector<std::string>& words) {
    out_.str("");
    err_.str("");
    return RunLexiqon(words, out_, err_);
  }

  std::ostringstream out_;
  std::ostringstream err_;
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
  std::vector<std::string> words = {"lookup", "--raw", "--units", "-d", file};
  words.insert(words.end(), std::begin(kKeys), std::end(kKeys));
  std::ostringstream out, err;
  EXPECT_EQ(RunLexiqon(words, out, err), 0) << err.str();
  return out.str();
}

TEST_F(LexiqonTest, CompileAndDecompileKeepEveryLookupInEveryFormat) {
  const std::string source = Write("source.txt", Utf16File(kSource));
  const std::string expected = Lookups(source);
  const std::vector<std::vector<std::string>> formats = {
      {"--format", "1.0"}, {"--format", "1.5"}, {"--format", "1.5", "--value-encoding", "utf8"},
      {"--format", "2.0"}, {"--format", "2.1"}, {"--format", "2.1", "--big-endian"}};
  for (const auto& format : formats) {
    std::vector<std::string> words = {"compile"};
    words.insert(words.end(), format.begin(), format.end());
    words.insert(words.end(), {source, "-o", Path("out.dat")});
    ASSERT_EQ(Run(words), 0) << err_.str();
    EXPECT_EQ(Lookups(Path("out.dat")), expected) << format.back();
    ASSERT_EQ(Run({"decompile", Path("out.dat"), "-o", Path("back.txt")}), 0) << err_.str();
    EXPECT_EQ(Lookups(Path("back.txt")), expected) << format.back();
    // Decompiled text compiles to the very bytes of the source.
    words.back() = Path("again.dat");
    words[words.size() - 3] = Path("back.txt");
    ASSERT_EQ(Run(words), 0) << err_.str();
    EXPECT_EQ(Read("again.dat"), Read("out.dat")) << format.back();
  }
}

TEST_F(LexiqonTest, DecompileSortsKeysAndEscapesWhatALoadOrACheckWouldChange) {
  const std::string source = Write(
      "source.txt",
      Utf16File(
          u"\"$$$/z=50% #1 a\\\\b ^x\"\r\n\"$$$/a=say \\\"hi\\\"\\n#{23}{x} #{23}{endl}\"\n"));
  ASSERT_EQ(Run({"decompile", source, "-o", Path("back.txt")}), 0) << err_.str();
  EXPECT_EQ(
      Read("back.txt"),
      Utf16File(
          u"\"$$$/a=say \\\"hi\\\"\\n#{23}{x} #{23}{endl}\"\r\n\"$$$/z=50% #1 a\\\\b ^x\"\r\n"));
}

TEST_F(LexiqonTest, CompileRefusesValuesAnAnsiFileCannotHold) {
  const std::string source = Write("source.txt", Utf16File(u"$$$/k=\u65E5\n"));
  EXPECT_EQ(Run({"compile", "--format", "1.0", "--value-encoding", "ansi", source, "-o",
                 Path("out.dat")}),
            1);
  EXPECT_NE(err_.str().find("does not survive this format"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("out.dat")));
}

TEST_F(LexiqonTest, Utf8SourcesCompileAsTheirUtf16Twins) {
  const std::string utf16 = Write("utf16.txt", Utf16File(u"\"$$$/k=caf\u00E9 \u65E5\"\r\n"));
  const std::string marked =
      Write("marked.txt", "\xEF\xBB\xBF\"$$$/k=caf\xC3\xA9 \xE6\x97\xA5\"\r\n");
  const std::string bare = Write("bare.txt", "\"$$$/k=caf\xC3\xA9 \xE6\x97\xA5\"\r\n");
  ASSERT_EQ(Run({"compile", utf16, "-o", Path("utf16.dat")}), 0) << err_.str();
  ASSERT_EQ(Run({"compile", marked, "-o", Path("marked.dat")}), 0) << err_.str();
  ASSERT_EQ(Run({"compile", "--input-encoding", "utf-8", bare, "-o", Path("bare.dat")}), 0);
  EXPECT_EQ(Read("marked.dat"), Read("utf16.dat"));
  EXPECT_EQ(Read("bare.dat"), Read("utf16.dat"));
  EXPECT_EQ(Run({"check", "--input-encoding", "utf-8", bare}), 0);
  EXPECT_EQ(err_.str(), "");
  const std::string broken = Write("broken.txt", "\"$$$/k=\xC3\"\r\n");
  EXPECT_EQ(Run({"compile", "--input-encoding", "utf-8", broken, "-o", Path("x.dat")}), 2);
  EXPECT_EQ(err_.str(), "lexiqon: " + broken + ":1: error: not valid UTF-8\n");
}

TEST_F(LexiqonTest, CompileStatisticsCountEntriesAndReplacedKeys) {
  const std::string source = Write("a.txt", "\"$$$/k=1\"\r\n\"$$$/j=2\"\r\n\"$$$/k=3\"\r\n");
  ASSERT_EQ(Run({"compile", "--statistics", source, "-o", Path("a.dat")}), 0);
  EXPECT_EQ(err_.str(), "lexiqon: " + source + ":1: warning: key \"/k\" is replaced by " + source +
                            ":3\nlexiqon: " + source +
                            ": 2 entries from 3 lines, 1 replaced keys.\n");
}

TEST_F(LexiqonTest, CheckReportsEachFindingWithItsLine) {
  const std::string source = Write("a.txt",
                                   "\"$$$/k=1\"\r\n"        // 1: replaced by line 4
                                   "\"$$/bad\"\r\n"         // 2: clears the valid flag
                                   "\r\n"                   // 3
                                   "\"$$$/k=2\"\n"          // 4
                                   "\"$$$/open=x\n"         // 5: no closing quote
                                   "$$$/bare=x\n"           // 6: no quotes
                                   "a note\n"               // 7: no quotes, no "="
                                   "\"$$$/m=#{nosuch}\"\n"  // 8: unknown markup
                                   "\"$$$=empty key\"\n");  // 9: empty key
  EXPECT_EQ(Run({"check", source}), 1);
  const std::string p = "lexiqon: " + source;
  EXPECT_EQ(
      err_.str(),
      p + ":2: error: entry starts with \"$\" but not \"$$$\"; the dictionary becomes invalid\n" +
          p + ":1: warning: key \"/k\" is replaced by " + source + ":4\n" + p +
          ":5: warning: opening quotation mark without a closing one\n" + p +
          ":6: warning: line without quotation marks\n" + p +
          ":7: warning: line without quotation marks or \"=\": the whole line is a key\n" + p +
          ":8: error: markup #{nosuch} names no known character; it stays as written\n" + p +
          ":9: error: empty key: version 2 files cannot hold it\n");
  EXPECT_EQ(out_.str(), source + ": invalid\n");
}

TEST_F(LexiqonTest, CheckFindsLinesCutOrSplitAndMisencodedFiles) {
  const std::string split =
      Write("split.txt",
            Utf16File(u"\"$$$/a=one\u2028two\"\r\n\"$$$/b=x\0y\"\r\n\"$$$/\u0416=z\"\r\n"sv));
  EXPECT_EQ(Run({"check", split}), 1);
  const std::string p = "lexiqon: " + split;
  EXPECT_NE(err_.str().find(p + ":1: error: U+2028 or U+2029 ends the line"), std::string::npos)
      << err_.str();
  // Lines as an editor counts them: U+2028 and NUL end no line there.
  EXPECT_NE(err_.str().find(p + ":2: error: a NUL character cuts the line"), std::string::npos)
      << err_.str();
  EXPECT_NE(err_.str().find(p + ":3: warning: key character U+0416 is outside 8 bits"),
            std::string::npos)
      << err_.str();
  const std::string utf8 = Write("utf8.txt", "\"$$$/k=caf\xC3\xA9\"\n");
  EXPECT_EQ(Run({"check", utf8}), 0);
  EXPECT_NE(err_.str().find(utf8 + ": warning: 8-bit file holds UTF-8"), std::string::npos);
  const std::string binary = Write("binary.txt", std::string("\"$$$/k=v\"\n\0\x01\x02", 13));
  EXPECT_EQ(Run({"check", binary}), 1);
  EXPECT_NE(err_.str().find(binary + ":2: error: binary content"), std::string::npos);
}

TEST_F(LexiqonTest, CheckGivesOneVerdictPerFileOrOneTogether) {
  const std::string a = Write("a.txt", "\"$$$/k=1\"\n");
  const std::string b = Write("b.txt", "\"$$$/k=2\"\n");
  EXPECT_EQ(Run({"check", a, b}), 0);
  EXPECT_EQ(out_.str(), a + ": valid\n" + b + ": valid\n");
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(Run({"check", "--together", "--statistics", a, b}), 0);
  EXPECT_EQ(out_.str(), "valid\n");
  EXPECT_EQ(err_.str(), "lexiqon: " + a + ": 1 entries from 1 lines, 0 replaced keys.\nlexiqon: " +
                            a + ":1: warning: key \"/k\" is replaced by " + b +
                            ":1\nlexiqon: " + b + ": 1 entries from 1 lines, 0 replaced keys.\n");
  ASSERT_EQ(Run({"compile", "--format", "1.5", a, "-o", Path("a.dat")}), 0);
  EXPECT_EQ(Run({"check", Path("a.dat")}), 0);
  EXPECT_EQ(out_.str(), Path("a.dat") + ": compiled version 1.5\n" + Path("a.dat") + ": valid\n");
  // A compiled file cut short says why and where reading stopped.
  const std::string whole = Read("a.dat");
  const std::string cut = Write("cut.dat", whole.substr(0, whole.size() - 3));
  EXPECT_EQ(Run({"check", cut}), 1);
  EXPECT_EQ(out_.str(), cut + ": compiled version 1.5\n" + cut + ": invalid\n");
  EXPECT_NE(
      err_.str().find(cut + ": error: truncated or inconsistent table (reading stopped at byte"),
      std::string::npos)
      << err_.str();
  std::string future = whole;
  future[21] = '\x03';
  Write("future.dat", future);
  EXPECT_EQ(Run({"check", Path("future.dat")}), 1);
  EXPECT_EQ(err_.str(), "lexiqon: " + Path("future.dat") +
                            ": error: unknown version (reading stopped at byte 25)\n");
}

// Whatever check calls an error, compile refuses with the same line, and
// --force writes the file but still fails.
TEST_F(LexiqonTest, CompileRefusesWhatCheckCallsAnError) {
  std::string noise(4096, '\0');
  std::mt19937 random(5);
  for (char& byte : noise) byte = static_cast<char>(random() % 256);
  noise[100] = '\0';
  const std::string cases[][2] = {
      {"noise.bin", noise},
      {"markup.txt", "\"$$$/a=fine\"\r\n\"$$$/m=#{nosuch}\"\r\n"},
      {"long.txt", "\"$$$/a=fine\"\r\n\"$$$/long=" + std::string(40000, 'x') + "\"\r\n"},
      {"readme.txt", "Read me first.\nNothing here is a dictionary.\n"},
      {"nuls.txt", std::string(100000, '\0')}};
  const std::string expected[] = {":1: error: binary content",
                                  ":2: error: markup #{nosuch} names no known character",
                                  ":2: error: the value of \"/long\" is 40000 units long",
                                  ": error: no line is a dictionary", ":1: error: binary content"};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i][0]);
    const std::string source = Write(cases[i][0], cases[i][1]);
    const std::string finding = "lexiqon: " + source + expected[i];
    EXPECT_EQ(Run({"check", source}), 1);
    EXPECT_EQ(out_.str(), source + ": invalid\n");
    EXPECT_NE(err_.str().find(finding), std::string::npos) << err_.str();
    EXPECT_EQ(Run({"compile", source, "-o", Path("out.dat")}), 1);
    EXPECT_NE(err_.str().find(finding), std::string::npos) << err_.str();
    EXPECT_FALSE(fs::exists(Path("out.dat")));
  }
  EXPECT_EQ(Run({"compile", "--force", Path("markup.txt"), "-o", Path("out.dat")}), 1);
  EXPECT_TRUE(fs::exists(Path("out.dat")));
  // Version 1 files hold long values; the warning about it stays a warning.
  EXPECT_EQ(Run({"check", "--format", "1.5", Path("long.txt")}), 0) << err_.str();
}

TEST_F(LexiqonTest, CheckFindsWhatTheLauncherWouldNotShowAsMeant) {
  const std::string source = Write("fr.txt",
                                   "\"$$$/cyr=\xD0\x96\xD0\xB8\xD0\xB2\"\r\n"  // 1: fine
                                   "\"$$$/noequals\"\r\n"                      // 2
                                   "\"$$$/after=x\" tail\r\n"                  // 3
                                   "\"$$$ /lead=x\"\r\n"                       // 4
                                   "\"$$$/trail =x\"\r\n"                      // 5
                                   "\"$$$/ok=x\"  \r\n");                      // 6: fine
  EXPECT_EQ(Run({"check", "--input-encoding", "UTF8", source}), 0);
  const std::string p = "lexiqon: " + source;
  EXPECT_EQ(err_.str(),
            p +
                ":2: warning: no \"=\" in the quoted entry: the launcher shows an empty text for "
                "key \"/noequals\"\n" +
                p + ":3: warning: text after the closing quotation mark is left out: \" tail\"\n" +
                p +
                ":4: warning: key \" /lead\" starts with a blank, which no lookup text has; "
                "it cannot be reached\n" +
                p +
                ":5: warning: key \"/trail \" ends with a blank, which no lookup text has; "
                "it cannot be reached\n");
  EXPECT_EQ(out_.str(), source + ": valid\n");
  // A byte-order mark the launcher would not read as one.
  const std::string marked = Write("marked.txt", "\xEF\xBB\xBF\"$$$/k=caf\xC3\xA9\"\r\n");
  EXPECT_EQ(Run({"check", marked}), 0);
  EXPECT_NE(err_.str().find(marked + ": warning: UTF-8 with a byte-order mark"), std::string::npos);
  const std::string bare = Write("bare.txt", Utf16File(u"$$$/k=v\r\n\"$$$/j=w\"\r\n"));
  EXPECT_EQ(Run({"check", bare}), 0);
  EXPECT_NE(err_.str().find(bare + ":1: warning: the byte-order mark starts this unquoted line"),
            std::string::npos)
      << err_.str();
}

TEST_F(LexiqonTest, CheckTogetherFollowsKeysAcrossFilesOfEveryKind) {
  Write("a.txt", "\"$$$/k=1\"\r\n\"$$$/only=a\"\r\n");
  ASSERT_EQ(Run({"compile", "--format", "1.5", Path("a.txt"), "-o", Path("a.dat")}), 0);
  const std::string b = Write("b.txt", "\"$$$/x=0\"\r\n\"$$$/k=2\"\r\n");
  Write("c.txt", "\"$$$/k=3\"\r\n");
  ASSERT_EQ(Run({"compile", Path("c.txt"), "-o", Path("c.dat")}), 0);
  EXPECT_EQ(Run({"check", "--together", Path("a.dat"), b, Path("c.dat")}), 0);
  EXPECT_EQ(out_.str(), Path("a.dat") + ": compiled version 1.5\n" + Path("c.dat") +
                            ": compiled version 2.1\nvalid\n");
  const std::string p = "lexiqon: ";
  EXPECT_EQ(err_.str(),
            p + Path("a.dat") + ": warning: key \"/k\" is replaced by " + b + ":2\n" + p +
                Path("c.dat") +
                ": warning: this compiled file puts the dictionary in block mode: 2 keys of "
                "earlier files are no longer found, the first \"/only\" of " +
                Path("a.dat") + "\n" + p + b + ":2: warning: key \"/k\" is replaced by " +
                Path("c.dat") + "\n");
}

TEST_F(LexiqonTest, DecompiledTextIsValidUtf16EvenWithLoneSurrogates) {
  ASSERT_EQ(Run({"compile", Write("s.txt", "\"$$$/k=a#{D800}b#{DC00}\"\r\n"), "-o", Path("s.dat")}),
            0)
      << err_.str();
  ASSERT_EQ(Run({"decompile", Path("s.dat"), "-o", Path("back.txt")}), 0);
  EXPECT_EQ(Read("back.txt"), Utf16File(u"\"$$$/k=a#{D800}b#{DC00}\"\r\n"));
  ASSERT_EQ(Run({"lookup", "--units", "-d", Path("back.txt"), "$$$/k="}), 0);
  EXPECT_EQ(out_.str(), "0061 D800 0062 DC00\n");
}

TEST_F(LexiqonTest, LookupFollowsTheLauncherAndRawAsksTheStore) {
  const std::string source = Write("a.txt", Utf16File(u"\"$$$/k=caf\u00E9\"\n"));
  ASSERT_EQ(Run({"lookup", "-d", source, "$$$/k=x", "($$$/k=x)", "$$$/k", "a=b", "$$$/x=\\t"}), 0);
  EXPECT_EQ(out_.str(), "caf\xC3\xA9\ncaf\xC3\xA9\n$$$/k\na=b\n\t\n");
  ASSERT_EQ(Run({"lookup", "--raw", "-d", source, "$$$/k"}), 0);
  EXPECT_EQ(out_.str(), "caf\xC3\xA9\n");
  const std::string bad = Write("bad.txt", "\"$$/k=1\"\n");
  ASSERT_EQ(Run({"lookup", "-d", source, "-d", bad, "$$$/k=x"}), 0);
  EXPECT_EQ(out_.str(), "$$$/k=x\n");
  EXPECT_EQ(err_.str(), "lexiqon: " + bad +
                            ": warning: this file makes the dictionary invalid (see lexiqon "
                            "check)\n");
  ASSERT_EQ(Run({"contains", "-d", source, "$$$/k", "$$/k"}), 0);
  EXPECT_EQ(out_.str(), "true\nfalse\n");
  EXPECT_EQ(ToUnitList(u"A\u20AC"), "0041 20AC");
}

TEST_F(LexiqonTest, StatsPerFileWithFormatAndByteOrder) {
  const std::string a = Write("a.txt", "\"$$$/k=1\"\n");
  ASSERT_EQ(Run({"compile", "--big-endian", a, "-o", Path("a.dat")}), 0);
  ASSERT_EQ(Run({"stats", "--json", a, Path("a.dat")}), 0);
  EXPECT_EQ(out_.str(),
            "{\"path\": \"" + a +
                "\", \"format\": \"8-bit text\", \"byte_order\": null, \"entries\": 1, \"mode\": "
                "\"entry table\", \"valid\": true, \"buckets_used\": 1, \"longest_chain\": 1, "
                "\"mean_chain\": 1.00}\n{\"path\": \"" +
                Path("a.dat") +
                "\", \"format\": \"2.1\", \"byte_order\": \"big-endian\", \"entries\": 1, "
                "\"mode\": \"block store\", \"valid\": true, \"buckets_used\": 1, "
                "\"longest_chain\": 1, \"mean_chain\": 1.00}\n");
}

TEST_F(LexiqonTest, UsageErrorsNameTheWordAndTheCommandsHelp) {
  EXPECT_EQ(Run({"bogus"}), 2);
  EXPECT_EQ(err_.str(), "lexiqon: unknown command 'bogus'\nTry 'lexiqon --help'.\n");
  EXPECT_EQ(Run({"--frob"}), 2);
  EXPECT_EQ(err_.str(), "lexiqon: unknown option '--frob'\nTry 'lexiqon --help'.\n");
  EXPECT_EQ(Run({"compile", "--frob"}), 2);
  EXPECT_EQ(err_.str(), "lexiqon: unknown option '--frob'\nTry 'lexiqon compile --help'.\n");
  EXPECT_EQ(Run({"check", "--input-encoding", "latin9", "x"}), 2);
  EXPECT_NE(err_.str().find("Try 'lexiqon check --help'."), std::string::npos);
  EXPECT_EQ(Run({"compile", "--help"}), 0);
  EXPECT_NE(out_.str().find("lexiqon compile --statistics fr.po"), std::string::npos);
  EXPECT_EQ(out_.str().find("lexiqon lookup"), std::string::npos) << out_.str();
}

TEST_F(LexiqonTest, UsageAndFileErrors) {
  EXPECT_EQ(Run({"lookup", "$$$/k"}), 2);
  EXPECT_EQ(err_.str(), "lexiqon: --dictionary is required\nTry 'lexiqon lookup --help'.\n");
  EXPECT_EQ(Run({"lookup", "--bogus", "-d", "x", "t"}), 2);
  EXPECT_EQ(Run({"compile", "--format", "2.0", "--big-endian", "in", "-o", "out"}), 2);
  EXPECT_EQ(err_.str(),
            "lexiqon: --big-endian needs --format 2.1\nTry 'lexiqon compile --help'.\n");
  EXPECT_EQ(Run({"stats", Path("missing")}), 2);
  EXPECT_EQ(err_.str(), "lexiqon: " + Path("missing") + ": error: No such file or directory\n");
  EXPECT_EQ(Run({"check", Dir().string()}), 2);
  EXPECT_EQ(err_.str(), "lexiqon: " + Dir().string() + ": error: Is a directory\n");
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out_.str().find("Usage: lexiqon"), std::string::npos);
  EXPECT_EQ(Run({"compile", "--help"}), 0);
  EXPECT_NE(out_.str().find("--format"), std::string::npos);
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(out_.str(), "lexiqon 19.0\n");
}

}  // namespace
}  // namespace lexiqon
