#include "startup_checks.h"

#include <Quenor/Quenor.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/message_box.h"
#include "platform/processor.h"
#include "platform/region.h"
#include "vantilcore/config.h"
#include "vantilcore/string.h"

namespace Startup {

namespace {

constexpr const char* kRegionMessage =
    "$$$/Libraries/Registration/EmbargoString=We're sorry, but you are in a country where "
    "software distribution is restricted by U.S.Law. This application will now exit. Please "
    "un-install this application from your computer.";
constexpr char kRegionTitle[] = "Harlund Pellicor";
constexpr const char* kNoSseMessage =
    "$$$/Frontend/FEAppStartupNoSSE=Harlund Pellicor cannot run on this computer because the "
    "processor does not support the SSE instruction set.";
constexpr const char* kNoSseTitle =
    "$$$/Frontend/FEAppStartupErrorTitle=Harlund Pellicor Startup Error";

constexpr int kRegionCodeUnits = 100;

std::vector<UTF16String> RestrictedRegions() {
  std::vector<UTF16String> regions;
  for (const char* code : {"IR", "SD", "CU", "SY", "KP"}) {
    regions.push_back(vantilcore::string::AsciiToUTF16(code, 2));
  }
  return regions;
}

UTF16String UserRegionCode() {
  const platform::GeoId nation = platform::GetUserGeoID(platform::kGeoClassNation);
  char16_t code[kRegionCodeUnits] = {};
  // On failure the buffer stays empty, which matches no region.
  platform::GetGeoInfoW(nation, platform::kGeoIso2, code, kRegionCodeUnits, 0);
  code[kRegionCodeUnits - 1] = 0;
  return vantilcore::string::WcharToUTF16(code);
}

void ShowError(const UTF16String& text, const UTF16String& title) {
  platform::MessageBoxW(nullptr, text.c_str(), title.c_str(),
                        platform::kMbOk | platform::kMbIconError);
}

}  // namespace

void CheckRegion() {
  const std::vector<UTF16String> regions = RestrictedRegions();
  const UTF16String user = UserRegionCode();
  if (std::find(regions.begin(), regions.end(), user) == regions.end()) return;

  UTF16String message;
  vantilcore::config::Localizer::Get()->GetLocalizedString(message, kRegionMessage);
  ShowError(message, vantilcore::string::AsciiToUTF16(kRegionTitle, sizeof(kRegionTitle) - 1));
  std::exit(0);
}

bool CheckProcessor(platform::ModuleHandle instance) {
  if (platform::IsProcessorFeaturePresent(platform::kPfXmmiInstructionsAvailable)) return true;

  // Keeps the launcher's module referenced until the box is closed.
  boost::shared_ptr<Quenor::Module> module;
  Quenor::Module::Create(instance, module);

  vantilcore::config::Localizer* localizer = vantilcore::config::Localizer::Get();
  UTF16String message;
  UTF16String title;
  localizer->GetLocalizedString(message, kNoSseMessage);
  localizer->GetLocalizedString(title, kNoSseTitle);
  ShowError(message, title);
  return false;
}

}  // namespace Startup
