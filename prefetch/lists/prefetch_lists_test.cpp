#include "prefetch/lists/prefetch_lists.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <iostream>
#include <sstream>

#include "prefetch/lists/list_file.h"
#include "prefetch/locations/standard_locations.h"
#include "test_support/scratch_folder.h"
#include "test_support/unprivileged_child.h"

namespace SpeedLauncher {
namespace {

namespace fs = boost::filesystem;
using testing_support::ScratchFolder;

std::vector<std::string> Paths(const PrefetchList& list) {
  std::vector<std::string> paths;
  for (const PrefetchItem& item : list) paths.push_back(item.path);
  return paths;
}

std::vector<std::string> Sorted(std::vector<std::string> paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
}

class ListTest : public ::testing::Test {
 protected:
  // Loads the sections as a list file in the tree, relative entries against the tree.
  bool Load(
      const std::string& sections, const CancelCheck& cancelled = [] { return false; }) {
    const std::string file =
        tree.Write("list.xml", "<?xml version=\"1.0\"?>\r\n<Root>" + sections + "</Root>");
    return LoadListFile(file, lists, {tree.Dir().string(), cancelled, &errors, {}});
  }
  const PrefetchList& List(const char* name) { return *lists.Find(name); }

  ScratchFolder tree;
  ApplicationLists lists;
  std::ostringstream errors;
};

// A lead byte whose sequence runs into the end of the text once walked the
// parser past its buffer; such lists are refused, well-formed UTF-8 is not.
TEST(ParseListTextTest, RefusesMalformedUtf8AndKeepsWellFormed) {
  const std::string head = "<?xml version=\"1.0\"?><Root><File fileRelativePath=\"";
  for (const std::string bad :
       {"\xF0\xFA", "\xFF", "\xC3", "\xE2\x82", "\xC0\x80", "\xF5\x80\x80\x80"}) {
    TiXmlDocument document;
    EXPECT_FALSE(ParseListText(head + "a" + bad, document)) << bad;
  }
  TiXmlDocument document;
  EXPECT_TRUE(
      ParseListText(head + "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC\"/></Root>", document));
  EXPECT_STREQ(document.RootElement()->FirstChildElement()->Attribute("fileRelativePath"),
               "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC");
}

TEST(ListFileNameTest, OnlyModesOneThreeFourFiveHaveAFile) {
  EXPECT_EQ(ListFileName(1), "/SpeedLauncher-marl.xml");
  EXPECT_EQ(ListFileName(3), "/SpeedLauncher-tarn.xml");
  EXPECT_EQ(ListFileName(4), "/SpeedLauncher-zolt.xml");
  EXPECT_EQ(ListFileName(5), "/SpeedLauncher-pellicor.xml");
  for (std::uint32_t mode : {0u, 2u, 6u, 0xFFFFFFFFu}) EXPECT_EQ(ListFileName(mode), "") << mode;
  EXPECT_EQ(ListFilePath(5), ExecutableDirectory() + "/SpeedLauncher-pellicor.xml");
}

TEST_F(ListTest, UnloadableFilesFailAndEmptyStructuresSucceed) {
  ApplicationLists untouched;
  const ExpansionContext context{tree.Dir().string(), [] { return false; }, &errors, {}};
  EXPECT_FALSE(LoadListFile(tree.Path("missing.xml"), lists, context));
  EXPECT_FALSE(LoadListFile(tree.Dir().string(), lists, context));  // a directory
  EXPECT_FALSE(LoadListFile(tree.Write("empty.xml", ""), lists, context));
  EXPECT_FALSE(LoadListFile(tree.Write("bad.xml", "<Root><Application>"), lists, context));
  EXPECT_TRUE(LoadListFile(tree.Write("none.xml", "<?xml version=\"1.0\"?>"), lists, context));
  EXPECT_TRUE(Load("<Other name=\"common\"/>"));
  EXPECT_TRUE(Load("<Application name=\"common\"><FileList/></Application>"));
  for (auto name : kApplicationNames) EXPECT_TRUE(lists.Find(name)->empty()) << name;
  EXPECT_EQ(errors.str(), "");
}

TEST_F(ListTest, EverySectionIsExpandedAndLaterSiblingsCountWhateverTheirName) {
  const std::string a = tree.Write("a.dll");
  const std::string b = tree.Write("b.dll");
  const std::string walked = tree.Write("dir/c.dat");
  ASSERT_TRUE(Load(
      "<Skipped name=\"zolt\"><FileList><File fileRelativePath=\"a.dll\"/></FileList></Skipped>"
      "<Application name=\"common\"><FileList><File fileRelativePath=\"a.dll\"/>"
      "<!-- fileRelativePath=\"b.dll\" -->text<Other fileRelativePath=\"b.dll\"/></FileList>"
      "<FileList><File fileRelativePath=\"b.dll\"/></FileList></Application>"
      "<!-- a comment among sections -->"
      "<Anything name=\"zolt\"><FileList><File fileRelativePath=\"dir\"/></FileList></Anything>"
      "<Application><FileList><File fileRelativePath=\"a.dll\"/></FileList></Application>"
      "<Application name=\"Pellicor\"><FileList><File fileRelativePath=\"a.dll\"/></FileList>"
      "</Application>"
      "<Application name=\"pellicor\"><FileList><File fileRelativePath=\"a.dll\"/>"
      "<File fileRelativePath=\"a.dll\" isForeground=\"1\"/></FileList></Application>"));
  const std::string root = tree.Dir().string();
  EXPECT_EQ(Paths(List("common")), (std::vector<std::string>{root + "/a.dll", root + "/b.dll"}));
  EXPECT_EQ(Paths(List("zolt")), std::vector<std::string>{walked});
  ASSERT_EQ(List("pellicor").size(), 2u);
  EXPECT_FALSE(List("pellicor")[0].isForeground);
  EXPECT_TRUE(List("pellicor")[1].isForeground);
  EXPECT_TRUE(List("marl").empty());
}

TEST_F(ListTest, PathsAreJoinedToTheirBase) {
  const std::string base = tree.Directory("base");
  const std::string file = tree.Write("base/f.dll");
  ASSERT_TRUE(
      Load("<Application name=\"tarn\"><FileList>"
           "<File fileRelativePath=\"f.dll\" fileBasePath=\"" +
           base +
           "\"/>"
           "<File fileRelativePath=\"" +
           file +
           "\" fileBasePath=\"/nowhere\" "
           "fileStandardPath=\"Rokapod\"/>"
           "<File fileRelativePath=\"base/f.dll\" fileStandardPath=\"Unknown\"/>"
           "<File fileBasePath=\"" +
           base +
           "\"/>"
           "<File fileRelativePath=\"base/missing.dll\"/>"
           "<File isForeground=\"1\"/>"
           "</FileList></Application>"));
  EXPECT_EQ(Paths(List("tarn")),
            (std::vector<std::string>{base + "/f.dll", file, tree.Dir().string() + "/base/f.dll",
                                      base + "/f.dll"}));
  EXPECT_EQ(errors.str(), "");
}

// A base that ends in a separator and no relative path give a doubled
// separator, which the walked items keep and the pattern sees.
TEST_F(ListTest, WalkedItemsKeepTheTextTheyWereBuiltFrom) {
  tree.Write("w/f1.dat");
  tree.Write("w/sub/f2.dat");
  const std::string base = tree.Path("w") + "/";
  ASSERT_TRUE(
      Load("<Application name=\"zolt\"><FileList>"
           "<File fileBasePath=\"" +
           base +
           "\"/>"
           "<File fileBasePath=\"" +
           base +
           "\" regex=\".*/w//sub/f2\\.dat\"/>"
           "<File fileBasePath=\"" +
           base +
           "\" regex=\".*/w/sub/f2\\.dat\"/>"
           "</FileList></Application>"));
  EXPECT_EQ(
      Sorted(Paths(List("zolt"))),
      (std::vector<std::string>{base + "/f1.dat", base + "/sub/f2.dat", base + "/sub/f2.dat"}));
  EXPECT_EQ(errors.str(), "");
}

TEST(FullPathTest, KnownKeywordReplacesTheBase) {
  EntryAttributes entry;
  entry.relativePath = "x";
  entry.basePath = "/ignored";
  entry.keyword = "Rokapod";
  EXPECT_EQ(FullPath(entry, "/default"), RokapodFolder() + "/x");
  entry.keyword = "FileFormatPlug-Ins";
  entry.relativePath.clear();
  EXPECT_EQ(FullPath(entry, "/default"), FileFormatPlugInsFolder() + "/");
  entry.keyword = "rokapod";
  entry.basePath.clear();
  EXPECT_EQ(FullPath(entry, "/default"), "/default/");
}

TEST(ParseForegroundTest, ReadsALeadingDecimalNumber) {
  for (const char* yes : {"1", "2", "-1", "  3", "1abc", "99999999999"}) {
    EXPECT_TRUE(ParseForeground(yes)) << yes;
  }
  for (const char* no : {"0", "", "yes", "-0", "0x1"}) EXPECT_FALSE(ParseForeground(no)) << no;
}

TEST_F(ListTest, PatternsMatchTheWholePathOfWalkedFilesOnly) {
  const std::string x = tree.Write("d/x.dat");
  const std::string y = tree.Write("d/sub/y.dat");
  tree.Write("d/z.txt");
  const std::string single = tree.Write("single.txt");
  ASSERT_TRUE(
      Load("<Application name=\"marl\"><FileList>"
           "<File fileRelativePath=\"d\" regex=\".*\\.dat\" isForeground=\"1\"/>"
           "<File fileRelativePath=\"d\" regex=\"\\.dat\"/>"
           "<File fileRelativePath=\"d\" regex=\"x\\.dat\"/>"
           "<File fileRelativePath=\"d\" regex=\".*X\\.DAT\"/>"
           "<File fileRelativePath=\"single.txt\" regex=\"nomatch\"/>"
           "<File fileRelativePath=\"d\" regex=\"(\"/>"
           "<File fileRelativePath=\"d/sub\"/>"
           "</FileList></Application>"));
  const PrefetchList& marl = List("marl");
  ASSERT_EQ(marl.size(), 4u);
  EXPECT_EQ(Sorted({marl[0].path, marl[1].path}), Sorted({x, y}));
  EXPECT_TRUE(marl[0].isForeground && marl[1].isForeground);
  EXPECT_EQ(marl[2].path, single);
  EXPECT_EQ(marl[3].path, y);
  EXPECT_EQ(errors.str(), "");
}

// More entries than one read of a folder returns, with a subfolder met
// somewhere in between: the walk resumes the outer folder where it stopped.
TEST_F(ListTest, LargeFoldersYieldEveryFileOnce) {
  std::vector<std::string> expected;
  for (int i = 0; i < 400; ++i) {
    expected.push_back(
        tree.Write("big/a-file-with-a-rather-long-name-" + std::to_string(i) + ".dat"));
  }
  expected.push_back(tree.Write("big/sub/inner.dat"));
  ASSERT_TRUE(
      Load("<Application name=\"common\"><FileList><File fileRelativePath=\"big\"/>"
           "</FileList></Application>"));
  EXPECT_EQ(Sorted(Paths(List("common"))), Sorted(expected));
}

TEST_F(ListTest, LinksAreFollowedForStatusButNotDescended) {
  const std::string target = tree.Write("outside/t.dat");
  tree.Write("outside/u.dat");
  tree.Directory("walk");
  fs::create_symlink(target, tree.Path("walk/file-link"));
  fs::create_directory_symlink(tree.Path("outside"), tree.Path("walk/dir-link"));
  fs::create_symlink(tree.Path("gone"), tree.Path("walk/dangling"));
  fs::create_directory_symlink(tree.Path("walk"), tree.Path("walk-link"));
  ASSERT_TRUE(
      Load("<Application name=\"common\"><FileList>"
           "<File fileRelativePath=\"walk\"/><File fileRelativePath=\"walk-link\"/>"
           "</FileList></Application>"));
  const std::string root = tree.Dir().string();
  EXPECT_EQ(Paths(List("common")),
            (std::vector<std::string>{root + "/walk/file-link", root + "/walk-link/file-link"}));
}

TEST_F(ListTest, CancellationStopsTheWalkAndEverySectionAfterIt) {
  for (const char* name : {"d/1", "d/2", "d/3", "d/4", "d/5"}) tree.Write(name);
  tree.Write("e");
  int polls = 0;
  // The first poll comes before the entry, then one before each directory entry.
  ASSERT_TRUE(
      Load("<Application name=\"common\"><FileList><File fileRelativePath=\"d\"/>"
           "<File fileRelativePath=\"e\"/></FileList></Application>"
           "<Application name=\"pellicor\"><FileList><File fileRelativePath=\"e\"/>"
           "</FileList></Application>",
           [&polls] { return ++polls > 3; }));
  EXPECT_EQ(List("common").size(), 2u);
  EXPECT_TRUE(List("pellicor").empty());
}

// Expands a tree with an unreadable directory as a user that cannot open it:
// the walk into it fails, and so does the status of an entry inside it.
int ExpandPastLockedDirectory(const ScratchFolder& tree) {
  try {
    fs::directory_iterator{tree.Path("d/locked")};
    std::cerr << "the locked directory opens; permissions do not apply here\n";
    return testing::kUnprivilegedUnavailable;
  } catch (const fs::filesystem_error&) {
  }
  std::vector<std::string> before;  // the files the walk meets before the locked directory
  for (fs::directory_iterator it(tree.Path("d")), end; it != end; ++it) {
    if (it->path().filename() == "locked") break;
    before.push_back(it->path().string());
  }
  ApplicationLists lists;
  std::ostringstream errors;
  const std::string list = tree.Path("list.xml");
  LoadListFile(list, lists, {tree.Dir().string(), [] { return false; }, &errors, {}});
  before.push_back(tree.Path("next.dll"));
  const bool itemsRight = Paths(*lists.Find("common")) == before;
  const bool errorRight = errors.str() == "system:13system:13";
  if (!itemsRight) std::cerr << "wrong items\n";
  if (!errorRight) std::cerr << "error text was \"" << errors.str() << "\"\n";
  return itemsRight && errorRight ? 0 : 1;
}

TEST(UnreadableDirectoryTest, WritesOneErrorPerEntryKeepsEarlierItemsAndGoesOn) {
  ScratchFolder tree;
  for (const char* name : {"d/a", "d/b", "d/c", "d/e", "d/f", "d/locked/hidden", "next.dll"}) {
    tree.Write(name);
  }
  tree.Write("list.xml",
             "<Root><Application name=\"common\"><FileList><File fileRelativePath=\"d\"/>"
             "<File fileRelativePath=\"d/locked/hidden\"/>"
             "<File fileRelativePath=\"next.dll\"/></FileList></Application></Root>");
  fs::permissions(tree.Path("d/locked"), fs::no_perms);
  const int result = testing::RunUnprivileged([&tree] { return ExpandPastLockedDirectory(tree); });
  fs::permissions(tree.Path("d/locked"), fs::owner_all);
  if (result == testing::kUnprivilegedUnavailable) {
    GTEST_SKIP() << "cannot make a directory unreadable here (see the message above)";
  }
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace SpeedLauncher
