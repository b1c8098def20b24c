// Crash reporting of the installed launcher: the registration while "Run"
// runs, and what a crash inside "Run" reports.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/installation.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Installation;

constexpr char kForum[] = "https://community.harlund.example/pellicor/";
constexpr char kMessageBox[] =
    "VANTIL_PRODUCT_NAME crashed: VANTIL_PRODUCT_NAME stopped unexpectedly.";

// "%2Ftmp%2F..." as the registry store names value files.
std::string DecodeValueName(const std::string& name) {
  std::string decoded;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '%' && i + 2 < name.size()) {
      decoded += static_cast<char>(std::stoi(name.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += name[i];
    }
  }
  return decoded;
}

std::string Slurp(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

class CrashReporting : public testing::Test {
 protected:
  void SetUp() override {
    // Crashing children leave no core files behind.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    fs::copy_file(testing_support::TestArtifact("PELLICOR_CRASH_PROBE_MODULE"),
                  installation_.Dir() / "Stoven.dll", fs::copy_options::overwrite_existing);
    fs::remove(installation_.Dir() / "SpeedLauncher-pellicor.xml");
  }

  bool RegistryValueLeft() const {
    const fs::path key = installation_.RegistryKeyDir();
    return fs::exists(key) && !fs::is_empty(key);
  }

  Installation installation_;
};

TEST_F(CrashReporting, RegisteredWhileRunRunsAndUndoneAfter) {
  const auto result = installation_.Launch();
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  const std::string expected =
      "probe: registry value " + (installation_.Dir() / "vantilcrashhandler.dll").string() + "\n";
  std::string decoded = DecodeValueName(result.out);
  EXPECT_NE(decoded.find(expected), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("probe: SIGSEGV handled\n"), std::string::npos) << result.out;
  EXPECT_FALSE(RegistryValueLeft());
}

TEST_F(CrashReporting, CrashReportNamesProductForumAndSignalAndShowsTheDialog) {
  const auto result = installation_.Launch({"--crash"});
  EXPECT_EQ(result.signal, SIGSEGV) << result.err;
  EXPECT_NE(result.err.find("Product: VANTIL_PRODUCT_NAME\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(std::string("Forum: ") + kForum + "\n"), std::string::npos);
  EXPECT_NE(result.err.find("Crash: signal 11 (SIGSEGV), code 1, address 0x100\n"),
            std::string::npos);
  EXPECT_NE(result.err.find(kMessageBox), std::string::npos);
  EXPECT_EQ(result.err.find("Crash dialog suppressed."), std::string::npos);
  EXPECT_EQ(result.err.find("Report file:"), std::string::npos);  // no console log
}

TEST_F(CrashReporting, ReportLandsInTheConsoleLogDirectory) {
  const fs::path logs = installation_.Root() / "logs";
  fs::create_directories(logs);
  std::ofstream(logs / "console.log") << "started\n";
  installation_.Environment()["VANTIL_CONSOLE_LOG"] = (logs / "console.log").string();

  const auto result = installation_.Launch({"--crash"});
  EXPECT_EQ(result.signal, SIGSEGV);
  std::smatch process;
  ASSERT_TRUE(std::regex_search(result.err, process, std::regex("Process: ([0-9]+)\n")))
      << result.err;
  const fs::path report = logs / ("crash-" + process[1].str() + ".txt");
  ASSERT_TRUE(fs::exists(report)) << result.err;
  const std::string content = Slurp(report);
  EXPECT_NE(content.find("Product: VANTIL_PRODUCT_NAME\n"), std::string::npos) << content;
  EXPECT_NE(content.find("(SIGSEGV)"), std::string::npos) << content;
  EXPECT_NE(result.err.find("Report file: " + report.string() + "\n"), std::string::npos);
  EXPECT_NE(result.err.find("A crash report was saved as " + report.string()), std::string::npos);
}

TEST_F(CrashReporting, SuppressedDialogIsNotAttempted) {
  const fs::path maker = installation_.Root() / "data-home" / "Harlund";
  fs::create_directories(maker);
  std::ofstream(maker / "DebugDatabase.txt") << "SuppressCrashHandlerDialog=true\n";

  const auto result = installation_.Launch({"--crash"});
  EXPECT_EQ(result.signal, SIGSEGV);
  EXPECT_NE(result.err.find("Product: VANTIL_PRODUCT_NAME\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("Crash dialog suppressed.\n"), std::string::npos);
  EXPECT_EQ(result.err.find(kMessageBox), std::string::npos);
}

// The demo module's own crash switch reaches the report too.
TEST(CrashReportingDemo, CrashSwitchOfTheDemoModuleIsReported) {
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  Installation installation;
  fs::remove(installation.Dir() / "SpeedLauncher-pellicor.xml");
  const auto result = installation.Launch({"--crash"});
  ASSERT_NE(result.signal, 0) << result.err;
  EXPECT_NE(result.err.find("Crash: signal " + std::to_string(result.signal) + " ("),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("Product: VANTIL_PRODUCT_NAME\n"), std::string::npos);
}

}  // namespace

namespace {

// A launcher installed deep down: the crash handler's path encodes to far
// more than one file name allows, and is still registered and called.
TEST_F(CrashReporting, LauncherAtALongPathRegistersAndReports) {
  std::string deep = installation_.Root().string();
  while (deep.size() + 61 <= 250) deep.append("/").append(60, 'd');
  deep += '/';
  deep.append(250 - deep.size(), 'd');
  ASSERT_EQ(deep.size(), 250u);
  fs::create_directories(fs::path(deep).parent_path());
  fs::rename(installation_.Dir(), deep);

  const auto run =
      testing_support::RunChild(fs::path(deep) / "Pellicor", {}, installation_.Environment());
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("probe: registry value %h"), std::string::npos) << run.out;
  EXPECT_FALSE(RegistryValueLeft());

  const auto crash = testing_support::RunChild(fs::path(deep) / "Pellicor", {"--crash"},
                                               installation_.Environment());
  EXPECT_EQ(crash.signal, SIGSEGV) << crash.err;
  EXPECT_NE(crash.err.find("Product: VANTIL_PRODUCT_NAME\n"), std::string::npos) << crash.err;
}

}  // namespace
