#include <gtest/gtest.h>

#include "Quenor/Quenor.h"
#include "test_support/platform_fake.h"

namespace {

// The fake platform layer serves the library too, not only this program.
TEST(LanguageTest, LanguageComesFromThePlatformLayer) {
  platform::fake::Scoped<platform::fake::Region> region;
  region->languageTag = u"xx_YY";
  EXPECT_EQ(Quenor::GetLanguageString(), UTF16String(u"xx_YY"));
  region->languageTag = u"de_AT";
  EXPECT_EQ(Quenor::GetLanguageString(), UTF16String(u"de_AT"));
}

}  // namespace
