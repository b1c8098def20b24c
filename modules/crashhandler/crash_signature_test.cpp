#include "crash_signature.h"

#include <gtest/gtest.h>

#include <vector>

namespace crashhandler {
namespace {

StackFrame Frame(std::uint64_t address, std::string module, std::string function) {
  StackFrame frame;
  frame.address = address;
  frame.module = std::move(module);
  frame.moduleOffset = address & 0xfff;
  frame.function = std::move(function);
  frame.functionOffset = address & 0xff;
  return frame;
}

TEST(CrashSignature, NamesOnlyAndAFixedHash) {
  const std::vector<StackFrame> here = {Frame(0x7f0012345678, "/opt/app/Stoven.dll", "Crash"),
                                        Frame(0x12, "", ""),
                                        Frame(0x55550000abcd, "/opt/app/Pellicor.exe", "")};
  // Another load address, another folder and letter case of the same files.
  const std::vector<StackFrame> there = {Frame(0x180001139, "C:\\App\\STOVEN.DLL", "Crash"),
                                         Frame(0x140002222, "C:\\App\\Pellicor.exe", "")};
  EXPECT_EQ(SignatureText(here), "stoven.dll\tCrash\npellicor.exe\t?\n");
  // FNV-1a 64 of that text, worked out apart from this code.
  EXPECT_EQ(CrashSignature(here), "8bc16ba3303e1118");
  EXPECT_EQ(CrashSignature(there), CrashSignature(here));
}

TEST(CrashSignature, InnermostFramesWithAModuleOnly) {
  std::vector<StackFrame> frames = {Frame(0, "", "")};
  for (const char* function : {"f0", "f1", "f2", "f3", "f4", "f5"}) {
    frames.push_back(Frame(0x1000 + frames.size(), "m.so", function));
  }
  const std::string signature = CrashSignature(frames);
  ASSERT_EQ(signature.size(), 16u);

  std::vector<StackFrame> outerChanged = frames;
  outerChanged[6].function = "other";
  EXPECT_EQ(CrashSignature(outerChanged), signature);

  std::vector<StackFrame> fifthChanged = frames;
  fifthChanged[5].function = "other";
  EXPECT_NE(CrashSignature(fifthChanged), signature);

  std::vector<StackFrame> moduleChanged = frames;
  moduleChanged[1].module = "n.so";
  EXPECT_NE(CrashSignature(moduleChanged), signature);

  EXPECT_EQ(CrashSignature({}), "");
  EXPECT_EQ(CrashSignature(std::vector<StackFrame>{Frame(1, "", "f")}), "");
}

}  // namespace
}  // namespace crashhandler
