#include "fe_localizer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "test_support/scratch_folder.h"
#include "vantilcore/filesupport.h"
#include "vantilcore/string.h"

namespace fs = std::filesystem;

namespace {

UTF16String U(const char16_t* text) { return UTF16String(text); }

UTF16String Localized(vantilcore::config::Localizer& localizer, const char* text) {
  UTF16String result = U(u"stale");
  return localizer.GetLocalizedString(result, text);
}

UTF16String Folder(const fs::path& path) {
  const std::u16string text = path.u16string();
  return UTF16String(text.begin(), text.end());
}

TEST(Localizer, KeysAndPlainTextsWithoutDictionary) {
  FE::Localizer localizer;
  const char* title = "$$$/Frontend/FEAppStartupErrorTitle=Harlund Pellicor Startup Error";
  EXPECT_EQ(Localized(localizer, title), U(u"Harlund Pellicor Startup Error"));
  EXPECT_EQ(Localized(localizer,
                      "($$$/Frontend/FEAppStartupErrorTitle=Harlund Pellicor Startup "
                      "Error)"),
            U(u"Harlund Pellicor Startup Error"));
  EXPECT_EQ(Localized(localizer, "($$$/Frontend/FEAppStartupErrorTitle=Harlund Pellicor"),
            U(u"Harlund Pellicor"));
  EXPECT_EQ(Localized(localizer, "$$$/NoDefault"), U(u"$$$/NoDefault"));
  EXPECT_EQ(Localized(localizer, "a=caf\xC3\xA9"), U(u"a=caf\u00E9"));
  EXPECT_EQ(Localized(localizer, "caf\xE9"), U(u"caf\u00E9"));
  EXPECT_EQ(Localized(localizer, ""), U(u""));
  EXPECT_EQ(Localized(localizer, "$$$="), U(u""));
  EXPECT_EQ(Localized(localizer, "$$$/Empty="), U(u""));
}

class LocalizerFiles : public testing::Test {
 protected:
  void SetUp() override {
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    ::setenv("LANG", "fr_FR.UTF-8", 1);
  }
  void Write(const std::string& relative, const std::string& text) {
    scratch_.Write(relative, text);
  }

  testing_support::ScratchFolder scratch_{"fe-localizer"};
  const fs::path root_ = scratch_.Dir();
};

TEST_F(LocalizerFiles, LanguageFolderBeforeDirectFileAndNothingFound) {
  FE::Localizer localizer;
  EXPECT_FALSE(localizer.LoadDictionary(Folder(root_ / "app")));
  Write("app/lexdictionary.dat", "\"$$$/k=direct\"\n");
  Write("app/Dictionaries/fr_FR/lexdictionary.dat", "\"$$$/k=francais\"\n");
  EXPECT_TRUE(localizer.LoadDictionary(Folder(root_ / "app")));
  EXPECT_EQ(Localized(localizer, "$$$/k=default"), U(u"francais"));

  FE::Localizer direct;
  ::setenv("LANG", "de_DE.UTF-8", 1);  // asked afresh on every call
  EXPECT_TRUE(direct.LoadDictionary(Folder(root_ / "app")));
  EXPECT_EQ(Localized(direct, "$$$/k=default"), U(u"direct"));
}

TEST_F(LocalizerFiles, BothFilesLoadedIntoOneDictionaryInOrder) {
  Write("app/Dictionaries/fr_FR/lexdictionary.dat", "\"$$$/a=app\"\n\"$$$/both=app\"\n");
  // A per-machine folder already ends in "Dictionaries": the direct file is
  // the one found there.
  Write("machine/Dictionaries/lexdictionary.dat", "\"$$$/b=machine\"\n\"$$$/both=machine\"\n");
  FE::Localizer localizer;
  EXPECT_TRUE(localizer.LoadDictionary(Folder(root_ / "app")));
  EXPECT_TRUE(localizer.LoadDictionary(Folder(root_ / "machine" / "Dictionaries")));
  EXPECT_EQ(Localized(localizer, "$$$/a=x"), U(u"app"));
  EXPECT_EQ(Localized(localizer, "$$$/b=x"), U(u"machine"));
  EXPECT_EQ(Localized(localizer, "$$$/both=x"), U(u"machine"));
}

TEST_F(LocalizerFiles, TextsOfAnyLengthComeBackWhole) {
  const std::string longValue(1000, 'v');
  Write("app/lexdictionary.dat",
        "\"$$$/long=" + longValue + "\"\n\"$$$/edge=" + std::string(255, 'e') + "\"\n");
  FE::Localizer localizer;
  localizer.LoadDictionary(Folder(root_ / "app"));
  EXPECT_EQ(Localized(localizer, "$$$/long=x"), UTF16String(1000, u'v'));
  EXPECT_EQ(Localized(localizer, "$$$/edge=x"), UTF16String(255, u'e'));
  EXPECT_EQ(Localized(localizer, ("$$$/missing=" + longValue).c_str()), UTF16String(1000, u'v'));
  EXPECT_EQ(Localized(localizer, ("($$$/missing=" + longValue + ")").c_str()),
            UTF16String(1000, u'v'));
}

TEST_F(LocalizerFiles, InvalidDictionaryGivesEveryKeyAsItsWholeText) {
  Write("app/lexdictionary.dat", "\"$$$/k=value\"\n$$/bad=x\n");
  Write("later/lexdictionary.dat", "\"$$$/k=later\"\n");
  FE::Localizer localizer;
  EXPECT_TRUE(localizer.LoadDictionary(Folder(root_ / "app")));
  EXPECT_TRUE(localizer.LoadDictionary(Folder(root_ / "later")));  // no load restores it
  EXPECT_EQ(Localized(localizer, "$$$/k=default"), U(u"$$$/k=default"));
  EXPECT_EQ(Localized(localizer, "($$$/k=default)"), U(u"$$$/k=default"));
  EXPECT_EQ(Localized(localizer, "plain"), U(u"plain"));
}

TEST_F(LocalizerFiles, EightThreadsThroughTheInstalledLocalizer) {
  Write("app/lexdictionary.dat", "\"$$$/hit=found\"\n");
  FE::Localizer localizer;
  localizer.LoadDictionary(Folder(root_ / "app"));
  vantilcore::config::Localizer::Set(&localizer, vantilcore::filesupport::Dir());
  std::vector<int> wrong(8, 0);
  {
    std::vector<std::jthread> threads;
    for (std::size_t t = 0; t < 8; ++t) {
      threads.emplace_back([t, &wrong] {
        vantilcore::config::Localizer* installed = vantilcore::config::Localizer::Get();
        for (int i = 0; i < 2000; ++i) {
          UTF16String result;
          if (Localized(*installed, "$$$/hit=x") != U(u"found")) ++wrong[t];
          if (Localized(*installed, "$$$/miss=default") != U(u"default")) ++wrong[t];
        }
      });
    }
  }
  vantilcore::config::Localizer::Set(nullptr, vantilcore::filesupport::Dir());
  for (std::size_t t = 0; t < 8; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
}

TEST(LocalizerLock, IsRecursiveForAThreadAlreadyHoldingIt) {
  FE::Localizer localizer;
  FE::LocalizerLock.Lock(nullptr);
  EXPECT_EQ(Localized(localizer, "$$$/k=held"), U(u"held"));
  FE::LocalizerLock.Unlock();
}

}  // namespace
