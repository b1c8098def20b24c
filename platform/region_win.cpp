#include <windows.h>

#include <string>

#include "platform/region.h"

namespace platform {

static_assert(kGeoClassNation == GEOCLASS_NATION);
static_assert(kGeoIso2 == GEO_ISO2);
static_assert(kGeoIdNotAvailable == GEOID_NOT_AVAILABLE);

GeoId GetUserGeoID(std::uint32_t geoClass) { return ::GetUserGeoID(geoClass); }

int GetGeoInfoW(GeoId location, std::uint32_t geoType, char16_t* data, int dataLength,
                std::uint16_t language) {
  return ::GetGeoInfoW(location, geoType, reinterpret_cast<LPWSTR>(data), dataLength, language);
}

namespace {

bool IsRegion(std::u16string_view part) {
  if (part.size() == 2) return true;
  return part.size() == 3 && part.find_first_not_of(u"0123456789") == std::u16string_view::npos;
}

}  // namespace

// "zh-Hans-CN" -> "zh_CN": the language and the region, without script or
// variants.
std::u16string UserLanguageTag() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) == 0) return u"en_US";
  const std::u16string_view tag(reinterpret_cast<const char16_t*>(name));
  const std::size_t dash = tag.find(u'-');
  std::u16string result(tag.substr(0, dash));
  for (std::size_t start = dash; start != std::u16string_view::npos;) {
    const std::size_t end = tag.find(u'-', start + 1);
    const std::u16string_view part = tag.substr(start + 1, end - start - 1);
    if (IsRegion(part)) return result + u'_' + std::u16string(part);
    start = end;
  }
  return result.empty() ? u"en_US" : result;
}

}  // namespace platform
