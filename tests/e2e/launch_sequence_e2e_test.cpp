// The launcher as a user starts it, from a copy of the installed tree.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "tests/support/installation.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Installation;

int ExitStatusOf(int code) { return static_cast<std::uint8_t>(code); }

bool RegistryValueLeft(const Installation& installation) {
  const fs::path key = installation.RegistryKeyDir();
  return fs::exists(key) && !fs::is_empty(key);
}

TEST(LaunchSequence, ExitCodeIsWhatRunReturns) {
  Installation installation;
  for (int code : {7, -3, 0}) {
    const auto result = installation.Launch({"--exit", std::to_string(code)});
    EXPECT_EQ(result.exitStatus, ExitStatusOf(code)) << result.err;
  }
  EXPECT_FALSE(RegistryValueLeft(installation));
}

TEST(LaunchSequence, RunSeesCommandLineShowCommandAndLaunchCode) {
  Installation installation;
  const auto result = installation.Launch({"--exit", "0", "two words", "say \"hi\"", "C:\\dir\\"});
  EXPECT_NE(result.out.find("Stoven: command line \"--exit 0 \"two words\" \"say \\\"hi\\\"\" "
                            "C:\\dir\\\"\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Stoven: show 10 code 0x7C4A91D3\n"), std::string::npos) << result.out;
  EXPECT_EQ(result.exitStatus, 0);
}

TEST(LaunchSequence, EmptyCommandLineReachesRunEmpty) {
  Installation installation;
  const auto result = installation.Launch();
  EXPECT_NE(result.out.find("Stoven: command line \"\"\n"), std::string::npos) << result.out;
  EXPECT_EQ(result.exitStatus, 0);
}

TEST(LaunchSequence, MissingModuleEndsSilentlyWithMinusOne) {
  Installation installation;
  fs::remove(installation.Dir() / "Stoven.dll");
  fs::remove(installation.Dir() / "SpeedLauncher-pellicor.xml");
  const auto result = installation.Launch({"--exit", "7"});
  EXPECT_EQ(result.exitStatus, ExitStatusOf(-1));
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_FALSE(RegistryValueLeft(installation));
}

TEST(LaunchSequence, ModuleWithoutRunEndsSilentlyWithMinusTwo) {
  Installation installation;
  fs::copy_file(testing_support::TestArtifact("PELLICOR_NORUN_MODULE"),
                installation.Dir() / "Stoven.dll", fs::copy_options::overwrite_existing);
  fs::remove(installation.Dir() / "SpeedLauncher-pellicor.xml");
  const auto result = installation.Launch();
  EXPECT_EQ(result.exitStatus, ExitStatusOf(-2));
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_FALSE(RegistryValueLeft(installation));
}

TEST(LaunchSequence, ModuleOnTheLibrarySearchPathIsNotUsed) {
  Installation installation;
  const fs::path elsewhere = installation.Root() / "elsewhere";
  fs::create_directories(elsewhere);
  fs::rename(installation.Dir() / "Stoven.dll", elsewhere / "Stoven.dll");
  installation.Environment()["LD_LIBRARY_PATH"] = elsewhere.string();
  const auto result = installation.Launch({"--exit", "7"});
  EXPECT_EQ(result.exitStatus, ExitStatusOf(-1));
  EXPECT_EQ(result.out.find("Stoven:"), std::string::npos);
}

}  // namespace
