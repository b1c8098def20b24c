// The user's region and language come from the locale variables, read in
// the order the C library gives them precedence for messages.
#include <cstdlib>
#include <string_view>

#include "platform/last_error.h"
#include "platform/region.h"
#include "platform/utf_common.h"

namespace platform {
namespace {

constexpr std::size_t kMaxTerritory = 4;

std::string_view LocaleName() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

// "fa_IR.UTF-8@euro" -> "fa_IR"
std::string_view WithoutCodeSet(std::string_view locale) {
  return locale.substr(0, locale.find_first_of(".@"));
}

std::string_view Territory(std::string_view locale) {
  const std::string_view name = WithoutCodeSet(locale);
  const std::size_t underscore = name.find('_');
  if (underscore == std::string_view::npos) return {};
  return name.substr(underscore + 1);
}

bool IsAsciiAlphanumeric(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The territory's characters, 7 bits each, so the identifier carries the
// text itself and needs no table.
GeoId Encode(std::string_view territory) {
  if (territory.empty() || territory.size() > kMaxTerritory) return kGeoIdNotAvailable;
  GeoId id = 0;
  for (std::size_t i = 0; i < territory.size(); ++i) {
    if (!IsAsciiAlphanumeric(territory[i])) return kGeoIdNotAvailable;
    id |= static_cast<GeoId>(territory[i]) << (7 * i);
  }
  return id;
}

std::u16string Decode(GeoId id) {
  std::u16string territory;
  if (id <= 0) return territory;
  for (std::size_t i = 0; i < kMaxTerritory; ++i) {
    const char c = static_cast<char>((id >> (7 * i)) & 0x7F);
    if (c == '\0') break;
    if (!IsAsciiAlphanumeric(c)) return {};
    territory += static_cast<char16_t>(c);
  }
  return territory;
}

int Fail(std::uint32_t error) {
  SetLastErrorCode(error);
  return 0;
}

}  // namespace

GeoId GetUserGeoID(std::uint32_t geoClass) {
  if (geoClass != kGeoClassNation) return kGeoIdNotAvailable;
  return Encode(Territory(LocaleName()));
}

int GetGeoInfoW(GeoId location, std::uint32_t geoType, char16_t* data, int dataLength,
                std::uint16_t) {
  const std::u16string territory = Decode(location);
  if (geoType != kGeoIso2 || territory.empty() || dataLength < 0) {
    return Fail(kErrorInvalidParameter);
  }
  const int needed = static_cast<int>(territory.size()) + 1;
  if (dataLength == 0) return needed;
  if (data == nullptr) return Fail(kErrorInvalidParameter);
  if (dataLength < needed) return Fail(kErrorInsufficientBuffer);
  territory.copy(data, territory.size());
  data[territory.size()] = u'\0';
  return needed;
}

std::u16string UserLanguageTag() {
  const std::string_view name = WithoutCodeSet(LocaleName());
  if (name.empty() || name == "C" || name == "POSIX") return u"en_US";
  return Utf8ToUtf16(name);
}

}  // namespace platform
