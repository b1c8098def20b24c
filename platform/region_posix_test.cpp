#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/region.h"

namespace platform {
namespace {

class RegionPosixTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(variable);
  }
  static std::u16string Iso2() {
    char16_t buffer[8] = {u'#'};
    const int written = GetGeoInfoW(GetUserGeoID(kGeoClassNation), kGeoIso2, buffer, 8, 0);
    if (written == 0) return buffer[0] == u'#' ? u"(none)" : u"(touched)";
    return std::u16string(buffer, static_cast<std::size_t>(written - 1));
  }
};

TEST_F(RegionPosixTest, TerritoryIsTakenVerbatimFromTheFirstVariableSet) {
  setenv("LANG", "fa_IR.UTF-8", 1);
  EXPECT_EQ(Iso2(), u"IR");
  setenv("LC_MESSAGES", "ko_kp@euro", 1);
  EXPECT_EQ(Iso2(), u"kp");
  setenv("LC_ALL", "", 1);  // empty: not set
  EXPECT_EQ(Iso2(), u"kp");
  for (const char* none : {"C", "POSIX", "en", "C.UTF-8", "xx_TOOLONG"}) {
    setenv("LC_ALL", none, 1);
    EXPECT_EQ(GetUserGeoID(kGeoClassNation), kGeoIdNotAvailable) << none;
    EXPECT_EQ(Iso2(), u"(none)") << none;
  }
}

TEST_F(RegionPosixTest, LanguageTag) {
  EXPECT_EQ(UserLanguageTag(), u"en_US");
  setenv("LANG", "fr_FR.UTF-8", 1);
  EXPECT_EQ(UserLanguageTag(), u"fr_FR");
  setenv("LANG", "de", 1);
  EXPECT_EQ(UserLanguageTag(), u"de");
  setenv("LANG", "POSIX", 1);
  EXPECT_EQ(UserLanguageTag(), u"en_US");
}

TEST_F(RegionPosixTest, ShortBufferFails) {
  setenv("LANG", "pt_BR", 1);
  char16_t buffer[2];
  const GeoId id = GetUserGeoID(kGeoClassNation);
  EXPECT_EQ(GetGeoInfoW(id, kGeoIso2, nullptr, 0, 0), 3);
  EXPECT_EQ(GetGeoInfoW(id, kGeoIso2, buffer, 2, 0), 0);
}

}  // namespace
}  // namespace platform
