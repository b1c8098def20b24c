#pragma once

#include <cstdint>
#include <string>

#include "platform/export.h"
#include "platform/types.h"

namespace platform {

inline constexpr std::uint32_t kGeoClassNation = 16;  // GEOCLASS_NATION
inline constexpr std::uint32_t kGeoIso2 = 4;          // GEO_ISO2
inline constexpr GeoId kGeoIdNotAvailable = -1;       // GEOID_NOT_AVAILABLE

PLATFORM_API GeoId GetUserGeoID(std::uint32_t geoClass);
// Units written including the NUL; 0 on failure.
PLATFORM_API int GetGeoInfoW(GeoId location, std::uint32_t geoType, char16_t* data, int dataLength,
                             std::uint16_t language);

// The user-interface language as "ll_TT" ("en_US" when none is set).
PLATFORM_API std::u16string UserLanguageTag();

}  // namespace platform
