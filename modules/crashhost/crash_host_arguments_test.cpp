#include "crash_host_arguments.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace crashhost {
namespace {

using Arguments = std::array<std::string, kCrashHostArgumentCount>;

Arguments Good() {
  return {"pellicor-crash-host",
          "4242",
          "4243",
          "/opt/Pellicor/vantilcrashhandler.dll",
          "0x55d0c0ffee40",
          "11",
          "1",
          "0x0",
          "0x7ffd00001000",
          "0x7ffd00002000"};
}

std::optional<CrashHostRequest> Parse(const Arguments& arguments,
                                      int count = kCrashHostArgumentCount) {
  std::array<const char*, kCrashHostArgumentCount> argv{};
  for (std::size_t i = 0; i < arguments.size(); ++i) argv[i] = arguments[i].c_str();
  return ParseCrashHostArguments(count, argv.data());
}

TEST(CrashHostArguments, WellFormedCommandLine) {
  const auto request = Parse(Good());
  ASSERT_TRUE(request);
  EXPECT_EQ(request->modulePath, "/opt/Pellicor/vantilcrashhandler.dll");
  EXPECT_EQ(request->context, 0x55d0c0ffee40u);
  const CrashExceptionInformation& information = request->information;
  EXPECT_EQ(information.size, sizeof(CrashExceptionInformation));
  EXPECT_EQ(information.processId, 4242);
  EXPECT_EQ(information.threadId, 4243);
  EXPECT_EQ(information.signal, 11);
  EXPECT_EQ(information.signalCode, 1);
  EXPECT_EQ(information.faultAddress, 0u);
  EXPECT_EQ(information.signalInfo, 0x7ffd00001000u);
  EXPECT_EQ(information.machineContext, 0x7ffd00002000u);
}

TEST(CrashHostArguments, MalformedValuesAreRefused) {
  EXPECT_FALSE(Parse(Good(), kCrashHostArgumentCount - 1));
  const struct {
    int position;
    const char* value;
  } cases[] = {
      {kCrashHostProcessId, ""},
      {kCrashHostProcessId, "0"},
      {kCrashHostProcessId, "-5"},
      {kCrashHostProcessId, "12x"},
      {kCrashHostProcessId, "99999999999"},
      {kCrashHostSignal, "0"},
      {kCrashHostModule, ""},
      {kCrashHostContext, "1234"},
      {kCrashHostContext, "0x"},
      {kCrashHostContext, "0x12345678901234567"},
      {kCrashHostFaultAddress, "0xg"},
      {kCrashHostSignalCode, " 1"},
  };
  for (const auto& c : cases) {
    Arguments arguments = Good();
    arguments[static_cast<std::size_t>(c.position)] = c.value;
    EXPECT_FALSE(Parse(arguments)) << c.position << " = \"" << c.value << "\"";
  }
}

}  // namespace
}  // namespace crashhost
