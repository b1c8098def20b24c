// lexiqon lookup on the installed tree answers what the launcher shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support/installation.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Installation;

// Keys with and without entries, in parentheses, cut, without "=", texts
// that are no keys, and a default text with bytes beyond ASCII.
const std::vector<std::string> kTexts = {
    "$$$/Frontend/FEAppStartupErrorTitle=Harlund Pellicor Startup Error",
    "($$$/Frontend/FEAppStartupErrorTitle=x)",
    "($$$/Frontend/FEAppStartupErrorTitle=x",
    "$$$/Frontend/NoSuchKey=the default\\tshown",
    "$$$/Frontend/NoSuchKey=caf\xC3\xA9",
    "$$$/Frontend/FEAppStartupErrorTitle",
    "plain=text \xC3\xA9",
    "plain text",
    "$$$=",
};

// The launcher's answers, one per text, from its --localize lines.
std::vector<std::string> LauncherAnswers(const Installation& installation) {
  std::vector<std::string> arguments;
  for (const std::string& text : kTexts) arguments.insert(arguments.end(), {"--localize", text});
  const auto result = installation.Launch(arguments);
  std::vector<std::string> answers;
  std::istringstream lines(result.out);
  const std::string prefix = "Stoven: localized \"";
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(prefix, 0) != 0 || line.back() != '"') continue;
    answers.push_back(line.substr(prefix.size(), line.size() - prefix.size() - 1));
  }
  return answers;
}

std::vector<std::string> LexiqonAnswers(Installation& installation,
                                        const std::vector<std::string>& dictionaries) {
  std::vector<std::string> arguments = {"lookup"};
  for (const std::string& dictionary : dictionaries)
    arguments.insert(arguments.end(), {"-d", dictionary});
  arguments.insert(arguments.end(), kTexts.begin(), kTexts.end());
  const auto result = testing_support::RunChild(installation.Dir() / "lexiqon", arguments,
                                                installation.Environment());
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  std::vector<std::string> answers;
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) answers.push_back(line);
  return answers;
}

TEST(LexiqonOnTheInstalledTree, LookupAnswersAsTheLauncher) {
  Installation installation;
  installation.Environment()["LANG"] = "fr_FR.UTF-8";
  const std::string french =
      (installation.Dir() / "Dictionaries" / "fr_FR" / "lexdictionary.dat").string();
  const std::vector<std::string> launcher = LauncherAnswers(installation);
  ASSERT_EQ(launcher.size(), kTexts.size());
  EXPECT_EQ(LexiqonAnswers(installation, {french}), launcher);
}

TEST(LexiqonOnTheInstalledTree, LookupAnswersAsTheLauncherWithAnInvalidDictionary) {
  Installation installation;
  installation.Environment()["LANG"] = "de_DE.UTF-8";
  const fs::path german = installation.Dir() / "Dictionaries" / "de_DE" / "lexdictionary.dat";
  std::ofstream(german, std::ios::binary)
      << "\"$$$/Frontend/FEAppStartupErrorTitle=Fehler\"\n$$/broken\n";
  const std::vector<std::string> launcher = LauncherAnswers(installation);
  ASSERT_EQ(launcher.size(), kTexts.size());
  EXPECT_EQ(LexiqonAnswers(installation, {german.string()}), launcher);
}

// A translator's PO file in ISO-8859-1, compiled by the installed tool,
// answers as the launcher shows it; lookup on the PO file itself agrees.
TEST(LexiqonOnTheInstalledTree, LookupAnswersAsTheLauncherWithAPoCompiledDictionary) {
  Installation installation;
  installation.Environment()["LANG"] = "fr_FR.UTF-8";
  const fs::path po = installation.Dir() / "fr.po";
  std::ofstream(po, std::ios::binary)
      << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
         "msgctxt \"/Frontend/FEAppStartupErrorTitle\"\nmsgid \"Startup Error\"\n"
         "msgstr \"Erreur au d\xE9marrage\"\n\n"
         "msgctxt \"\"\nmsgid \"empty\"\nmsgstr \"vide\"\n";
  const std::string french =
      (installation.Dir() / "Dictionaries" / "fr_FR" / "lexdictionary.dat").string();
  const auto compiled = testing_support::RunChild(
      installation.Dir() / "lexiqon", {"compile", "--format", "1.5", po.string(), "-o", french},
      installation.Environment());
  ASSERT_EQ(compiled.exitStatus, 0) << compiled.err;
  const std::vector<std::string> launcher = LauncherAnswers(installation);
  ASSERT_EQ(launcher.size(), kTexts.size());
  EXPECT_EQ(launcher.front(), "Erreur au d\xC3\xA9marrage");
  EXPECT_EQ(LexiqonAnswers(installation, {french}), launcher);
  EXPECT_EQ(LexiqonAnswers(installation, {po.string()}), launcher);
}

}  // namespace
