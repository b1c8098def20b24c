// Localized messages and the region refusal, from a copy of the installed
// tree with its compiled dictionaries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "test_support/installation.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Installation;

constexpr char kRegionMessage[] =
    "Harlund Pellicor: We're sorry, but you are in a country where software distribution is "
    "restricted by U.S.Law. This application will now exit. Please un-install this application "
    "from your computer.\n";
constexpr char kTitleKey[] = "$$$/Frontend/FEAppStartupErrorTitle=Harlund Pellicor Startup Error";

fs::path PerMachineDictionaries(const Installation& installation, const std::string& language) {
  return installation.Root() / "share" / "Harlund" / "Pellicor" / "19.0" / "locale" / language /
         "Dictionaries";
}

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

TEST(Localization, RestrictedRegionsExitAtOnceAfterTheMessage) {
  for (const char* locale :
       {"fa_IR.UTF-8", "ar_SD.UTF-8", "es_CU.UTF-8", "ar_SY.UTF-8", "ko_KP.UTF-8"}) {
    Installation installation;
    installation.Environment()["LANG"] = locale;
    const auto result = installation.Launch();
    EXPECT_EQ(result.exitStatus, 0) << locale;
    EXPECT_NE(result.err.find(kRegionMessage), std::string::npos) << locale << "\n" << result.err;
    EXPECT_EQ(result.out.find("Stoven:"), std::string::npos) << locale;
    // Exit at once: crash reporting is never unregistered.
    EXPECT_TRUE(installation.RegistryValueLeft()) << locale;
  }
}

TEST(Localization, RegionCodeIsMatchedCaseSensitively) {
  Installation installation;
  installation.Environment()["LANG"] = "ko_kp";
  const auto result = installation.Launch();
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err.find("We're sorry"), std::string::npos) << result.err;
  EXPECT_NE(result.out.find("Stoven: Welcome to Harlund Pellicor.\n"), std::string::npos);
}

TEST(Localization, FrenchAndGermanFromTheInstalledDictionaries) {
  Installation installation;
  installation.Environment()["LANG"] = "fr_FR.UTF-8";
  auto result = installation.Launch({"--localize", kTitleKey});
  EXPECT_NE(result.out.find("Stoven: Bienvenue dans Harlund Pellicor.\n"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Stoven: localized \"Erreur au d\xC3\xA9marrage de Harlund Pellicor\""),
            std::string::npos)
      << result.out;

  installation.Environment()["LANG"] = "de_DE.UTF-8";
  result = installation.Launch({"--localize", kTitleKey});
  EXPECT_NE(result.out.find("Stoven: Willkommen bei Harlund Pellicor.\n"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Stoven: localized \"Startfehler von Harlund Pellicor\""),
            std::string::npos);

  // No dictionary for the language: the default texts.
  installation.Environment()["LANG"] = "it_IT.UTF-8";
  result = installation.Launch({"--localize", kTitleKey});
  EXPECT_NE(result.out.find("Stoven: localized \"Harlund Pellicor Startup Error\""),
            std::string::npos);
}

TEST(Localization, PerMachineDictionaryAloneAndAfterTheInstallations) {
  Installation installation;
  installation.Environment()["LANG"] = "fr_FR.UTF-8";
  WriteFile(PerMachineDictionaries(installation, "fr_FR") / "lexdictionary.dat",
            "\"$$$/Machine/Only=machine\"\n\"$$$/Stoven/Greeting=Bonjour de la machine.\"\n");

  auto result = installation.Launch({"--localize", "$$$/Machine/Only=x", "--localize", kTitleKey});
  // Both loaded, the installation's first: a later file's entry replaces.
  EXPECT_NE(result.out.find("Stoven: Bonjour de la machine.\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Stoven: localized \"machine\""), std::string::npos);
  EXPECT_NE(result.out.find("Stoven: localized \"Erreur au d\xC3\xA9marrage"), std::string::npos);

  fs::remove_all(installation.Dir() / "Dictionaries");
  result = installation.Launch({"--localize", "$$$/Machine/Only=x", "--localize", kTitleKey});
  EXPECT_NE(result.out.find("Stoven: localized \"machine\""), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Stoven: localized \"Harlund Pellicor Startup Error\""),
            std::string::npos);
}

TEST(Localization, InvalidDictionaryGivesEveryKeyAsItsWholeText) {
  Installation installation;
  installation.Environment()["LANG"] = "fr_FR.UTF-8";
  WriteFile(installation.Dir() / "Dictionaries" / "fr_FR" / "lexdictionary.dat",
            "\"$$$/Stoven/Greeting=Salut\"\n$$/broken=x\n");
  const auto result = installation.Launch({"--localize", kTitleKey});
  EXPECT_NE(result.out.find("Stoven: $$$/Stoven/Greeting=Welcome to Harlund Pellicor.\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find(std::string("Stoven: localized \"") + kTitleKey + "\""),
            std::string::npos);
}

}  // namespace
