#include "prefetch/worker/prefetch_worker.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <cstdlib>
#include <sstream>

#include "prefetch/lists/prefetch_lists.h"
#include "prefetch/locations/standard_locations.h"
#include "prefetch/worker/file_reader.h"
#include "prefetch/worker/list_reader.h"
#include "test_support/scratch_folder.h"

namespace SpeedLauncher {
namespace {

namespace fs = boost::filesystem;
using testing_support::ScratchFolder;

struct Read {
  ReadReport report;
  int polls = 0;
  std::string out;
};

// Reads the file, cancelling on poll number cancelOnPoll (never when 0).
Read ReadCounting(const std::string& path, int cancelOnPoll = 0) {
  Read read;
  std::ostringstream out;
  std::ostringstream errors;
  ReadBufferSource buffers;
  read.report = ReadWholeFile(
      path, buffers, [&read, cancelOnPoll] { return ++read.polls == cancelOnPoll; }, out, errors);
  read.out = out.str();
  EXPECT_EQ(errors.str(), "");
  return read;
}

TEST(FileReaderTest, ReadsWholeFilesInSixteenMebibyteChunks) {
  ScratchFolder tree;
  const std::string empty = tree.Write("empty", "");
  Read read = ReadCounting(empty);
  EXPECT_EQ(read.out, "Reading :" + empty + "\n");
  EXPECT_TRUE(read.report.opened);
  EXPECT_EQ(read.report.bytes, 0u);
  EXPECT_EQ(read.polls, 1);

  const std::string exact = tree.Write("exact", std::string(kReadBufferSize, 'e'));
  read = ReadCounting(exact);
  EXPECT_EQ(read.report.bytes, kReadBufferSize);
  EXPECT_EQ(read.polls, 2);  // the second read finds the end

  const std::string more = tree.Write("more", std::string(kReadBufferSize + 5, 'm'));
  read = ReadCounting(more);
  EXPECT_EQ(read.report.bytes, kReadBufferSize + 5);
  EXPECT_EQ(read.polls, 2);
}

TEST(FileReaderTest, MissingFileIsPassedOverAndCancelStopsInsideAFile) {
  ScratchFolder tree;
  Read read = ReadCounting(tree.Path("missing"));
  EXPECT_FALSE(read.report.opened);
  EXPECT_EQ(read.out, "");
  EXPECT_EQ(read.polls, 0);

  const std::string big = tree.Write("big", std::string(kReadBufferSize + 1, 'b'));
  read = ReadCounting(big, 2);
  EXPECT_TRUE(read.report.cancelled);
  EXPECT_EQ(read.report.bytes, kReadBufferSize);
  EXPECT_EQ(read.out, "Reading :" + big + "\n");
}

TEST(ListReaderTest, ReadsForegroundItemsInOrderUntilCancelled) {
  const PrefetchList list = {{"a", true}, {"b", false}, {"a", true}, {"c", true}};
  std::vector<std::string> read;
  const auto record = [&read](const std::string& path) { read.push_back(path); };
  EXPECT_TRUE(ReadForegroundItemsWith(
      list, [] { return false; }, record));
  EXPECT_EQ(read, (std::vector<std::string>{"a", "a", "c"}));

  read.clear();
  int polls = 0;
  EXPECT_FALSE(ReadForegroundItemsWith(
      list, [&polls] { return ++polls == 3; }, record));
  EXPECT_EQ(read, std::vector<std::string>{"a"});
  EXPECT_TRUE(ReadForegroundItemsWith(
      {}, [] { return true; }, record));
}

TEST(ListReaderTest, FileDeletedAfterExpansionIsPassedOver) {
  ScratchFolder tree;
  const std::string kept = tree.Write("d/kept");
  const std::string gone = tree.Write("d/gone");
  const std::string list = tree.Write("list.xml",
                                      "<R><Application name=\"pellicor\"><FileList><File "
                                      "fileRelativePath=\"d\" isForeground=\"1\"/>"
                                      "</FileList></Application></R>");
  ApplicationLists lists;
  ASSERT_TRUE(LoadListFile(list, lists, {tree.Dir().string(), [] { return false; }, nullptr, {}}));
  ASSERT_EQ(ListReadInMode(lists, 5)->size(), 2u);
  fs::remove(gone);
  std::ostringstream out;
  std::ostringstream errors;
  ReadBufferSource buffers;
  const auto read = [&](const std::string& path) {
    ReadWholeFile(
        path, buffers, [] { return false; }, out, errors);
  };
  EXPECT_TRUE(ReadForegroundItemsWith(
      *ListReadInMode(lists, 5), [] { return false; }, read));
  EXPECT_EQ(out.str(), "Reading :" + kept + "\n");
}

TEST(ListReadInModeTest, OnlyModesOneThreeFiveReadAList) {
  ApplicationLists lists;
  EXPECT_EQ(ListReadInMode(lists, 1), lists.Find("marl"));
  EXPECT_EQ(ListReadInMode(lists, 3), lists.Find("tarn"));
  EXPECT_EQ(ListReadInMode(lists, 5), lists.Find("pellicor"));
  for (std::uint32_t mode : {0u, 2u, 4u, 6u}) EXPECT_EQ(ListReadInMode(lists, mode), nullptr);
}

// Start and Stop work on process-wide state, so each case runs in a child.
class StartStopTest : public ::testing::Test {
 protected:
  // A list for mode 1 beside this test executable; the mode-5 one is never there.
  void SetUp() override {
    listPath = ExecutableDirectory() + ListFileName(1);
    ASSERT_FALSE(fs::exists(ExecutableDirectory() + ListFileName(5)));
    file = tree.Write("f.dll");
    tree.Write("d/g.dll");
    fs::ofstream(fs::path(listPath))
        << "<R><Application name=\"marl\"><FileList>"
        << "<File fileRelativePath=\"" << file << "\" isForeground=\"1\"/>"
        << "<File fileBasePath=\"" << tree.Path("d") << "\"/>"
        << "</FileList></Application></R>";
  }
  void TearDown() override { fs::remove(listPath); }

  ScratchFolder tree;
  std::string listPath;
  std::string file;
};

TEST_F(StartStopTest, StartReadsTheModesForegroundItemsAndNothingAfterStop) {
  EXPECT_EXIT(
      {
        ::testing::internal::CaptureStdout();
        const bool first = Start(1);
        const std::string firstOut = ::testing::internal::GetCapturedStdout();
        const std::size_t items = ProcessLists().Find("marl")->size();
        Stop();
        Stop();
        ::testing::internal::CaptureStdout();
        const bool again = Start(1);
        const std::string againOut = ::testing::internal::GetCapturedStdout();
        const bool right = first && firstOut == "Reading :" + file + "\n" && items == 2 && !again &&
                           againOut.empty() && ProcessLists().Find("marl")->size() == items;
        std::exit(right ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(StartStopTest, ModesWithoutAListOrAFileReadNothing) {
  EXPECT_EXIT(
      {
        ::testing::internal::CaptureStdout();
        const bool missing = Start(5);
        const bool other = Start(2);
        const std::string out = ::testing::internal::GetCapturedStdout();
        std::exit(!missing && !other && out.empty() && ProcessLists().Find("marl")->empty() ? 0
                                                                                            : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace SpeedLauncher
