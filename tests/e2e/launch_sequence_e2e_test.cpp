// The launcher as a user starts it, from a copy of the installed tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "test_support/installation.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Installation;

int ExitStatusOf(int code) { return static_cast<std::uint8_t>(code); }

TEST(LaunchSequence, ExitCodeIsWhatRunReturns) {
  Installation installation;
  for (int code : {7, -3, 0}) {
    const auto result = installation.Launch({"--exit", std::to_string(code)});
    EXPECT_EQ(result.exitStatus, ExitStatusOf(code)) << result.err;
  }
  EXPECT_FALSE(installation.RegistryValueLeft());
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
  EXPECT_FALSE(installation.RegistryValueLeft());
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
  EXPECT_FALSE(installation.RegistryValueLeft());
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

// The launcher and the loader's trace of what it maps, in the order both
// happened: the trace goes to standard error, "Reading :" lines are flushed
// one by one to standard output, and both reach one pipe.
testing_support::ChildResult LaunchTraced(Installation& installation,
                                          const std::vector<std::string>& arguments) {
  std::map<std::string, std::string> environment = installation.Environment();
  environment["LD_DEBUG"] = "files";
  std::vector<std::string> shellArguments = {"-c", "exec \"$0\" \"$@\" 2>&1",
                                             (installation.Dir() / "Pellicor").string()};
  shellArguments.insert(shellArguments.end(), arguments.begin(), arguments.end());
  return testing_support::RunChild("/bin/sh", shellArguments, environment);
}

std::size_t LastReadingLine(const std::string& output) {
  const std::size_t last = output.rfind("Reading :");
  return last == std::string::npos ? 0 : last;
}

// Where the loader mapped a file of the installation, or npos.
std::size_t Mapped(const std::string& output, const Installation& installation, const char* name) {
  return output.find("file=" + (installation.Dir() / name).string() + " [0];  dynamically loaded");
}

// The foundation and application libraries are bound at their first call,
// after the prefetch, and before the application module runs.
TEST(LaunchSequence, LibrariesAreBoundAfterThePrefetchAndBeforeRun) {
  Installation installation;
  const auto result = LaunchTraced(installation, {"--exit", "0"});
  ASSERT_EQ(result.exitStatus, 0) << result.out;
  const std::size_t reading = LastReadingLine(result.out);
  ASSERT_NE(reading, 0u) << result.out;
  const std::size_t vexmo = Mapped(result.out, installation, "libVexmo.so");
  const std::size_t quenor = Mapped(result.out, installation, "libQuenorFoundation.so");
  const std::size_t stoven = Mapped(result.out, installation, "Stoven.dll");
  ASSERT_NE(vexmo, std::string::npos) << result.out;
  ASSERT_NE(quenor, std::string::npos) << result.out;
  ASSERT_NE(stoven, std::string::npos) << result.out;
  EXPECT_LT(reading, vexmo);
  EXPECT_LT(vexmo, quenor);  // Vexmo::Initialize comes first
  EXPECT_LT(quenor, stoven);
  EXPECT_EQ(result.out.find("libVexmo.so [0];  needed by"), std::string::npos);
  EXPECT_EQ(result.out.find("libQuenorFoundation.so [0];  needed by"), std::string::npos);
}

TEST(LaunchSequence, MissingLibraryEndsTheProcessAfterThePrefetchWithOneLine) {
  Installation installation;
  fs::remove(installation.Dir() / "libVexmo.so");
  const auto result = installation.Launch({"--exit", "0"});
  EXPECT_EQ(result.exitStatus, 127);
  EXPECT_NE(result.out.find("Reading :"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("Stoven:"), std::string::npos) << result.out;
  EXPECT_EQ(result.err.rfind("Pellicor: cannot load libVexmo.so: ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find("No such file or directory\n"), std::string::npos) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

}  // namespace
