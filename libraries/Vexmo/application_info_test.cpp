#include <gtest/gtest.h>

#include <string>

#include "Vexmo/Vexmo.h"

namespace {

TEST(ApplicationInfoTest, AnswersEmptyBeforeAndCopiesAfterInitialize) {
  EXPECT_STREQ(Vexmo::GetApplicationName(), "");
  std::string name = "Pellicor";
  std::string version = "19.0";
  Vexmo::Initialize(4, name.c_str(), version.c_str(), nullptr, nullptr, false);
  name = "changed";
  version = "changed";
  EXPECT_STREQ(Vexmo::GetApplicationName(), "Pellicor");
  EXPECT_STREQ(Vexmo::GetApplicationVersion(), "19.0");
}

}  // namespace
