#include "vantil_initializer.h"

#include <Quenor/Quenor.h>
#include <Vexmo/Vexmo.h>

#include <cstring>

#include "fe_localizer.h"
#include "platform/debugger.h"
#include "platform/ole.h"
#include "platform/special_folders.h"
#include "vantilcore/debug.h"
#include "vantilcore/filesupport.h"
#include "vantilcore/locale.h"
#include "vantilcore/string.h"
#include "vantilcore/xml.h"

namespace Startup {

namespace {

UTF16String Ascii(const char* text) {
  return vantilcore::string::AsciiToUTF16(text, std::strlen(text));
}

const UTF16String kLocaleFolder = Ascii("locale");
const UTF16String kDictionariesFolder = Ascii("Dictionaries");

bool oleAssertIgnored = false;

void SetClientIdentity() {
  namespace config = vantilcore::config;
  config::SetClientName(Ascii("Pellicor"));
  config::SetCompanyName(Ascii("Harlund"));
  config::SetClientVersion(Ascii(Vexmo::GetApplicationVersion()));
  // The internal version is the version too, not the build.
  config::SetClientInternalVersion(Ascii(Vexmo::GetApplicationVersion()));
  config::SetClientBuildNumber(Ascii(Vexmo::GetApplicationBuild()));
  config::SetSAPCode(Ascii("PELLICOR"), UTF16String());
}

void ReportOleFailure(platform::HResult oleInitializeResult) {
  if (platform::Succeeded(oleInitializeResult) || oleAssertIgnored) return;
  const bool wantsBreak = vantilcore::debug::BreakAfterAssertDialog(
      oleAssertIgnored, "SUCCEEDED(oleInitializeResult)", "",
      "Frontend\\Startup\\Src\\VantilInitializer", __LINE__,
      "Startup::VantilInitializer::VantilInitializer", true);
  if (wantsBreak && vantilcore::debug::IsDebuggerAttached()) platform::DebugBreak();
}

UTF16String PerMachineDictionaryFolder() {
  const UTF16String separator = Quenor::PathUtils::GetPathSeparator();
  return GetAppDataFolder(true, true) + kLocaleFolder + separator + Quenor::GetLanguageString() +
         separator + kDictionariesFolder + separator;
}

}  // namespace

UTF16String GetAppDataFolder(bool allUsers, bool withVersion) {
  char16_t buffer[platform::kMaxPath + 1] = {};
  const int folder = allUsers ? platform::kCsidlCommonAppData : platform::kCsidlAppData;
  if (!platform::SHGetSpecialFolderPathW(nullptr, buffer, folder, true)) {
    platform::SHGetSpecialFolderPathW(nullptr, buffer, platform::kCsidlAppData, true);
  }
  const UTF16String separator = Quenor::PathUtils::GetPathSeparator();
  UTF16String path = Quenor::PathUtils::AddTrailingSlash(vantilcore::string::WcharToUTF16(buffer));
  path += Ascii("Harlund") + separator;
  path += Ascii(Vexmo::GetApplicationName()) + separator;
  if (!allUsers || withVersion) path += Ascii(Vexmo::GetApplicationVersion()) + separator;
  return path;
}

VantilInitializer::VantilInitializer() {
  try {
    Construct();
  } catch (...) {
    // Members are destroyed after this, newest first: nothing installed may
    // still name them.
    WithdrawInstallations();
    throw;
  }
}

void VantilInitializer::Construct() {
  SetClientIdentity();
  errorManager_.reset(new vantilcore::config::ErrorManager);
  newHandler_.reset(new vantilcore::config::ErrorManager::NewHandlerInitializer);
  localizer_.reset(new FE::Localizer);
  vantilcore::config::ErrorManager::Set(errorManager_.get());

  const UTF16String applicationDirectory = vantilcore::filesupport::Dir::AppDir().FullPath();

  std::unique_ptr<vantilcore::xml::DocParserFactory> factory(
      new vantilcore::xml::MSXMLParserFactory);
  const platform::HResult oleInitializeResult = platform::OleInitialize(nullptr);
  oleInitialized_ = true;
  ReportOleFailure(oleInitializeResult);
  vantilcore::xml::SetParserFactory(factory);

  localizer_->LoadDictionary(applicationDirectory);
  localizer_->LoadDictionary(PerMachineDictionaryFolder());

  vantilcore::config::Localizer::Set(localizer_.get(), vantilcore::filesupport::Dir());
  vantilcore::Locale::Initialize(Quenor::GetLanguageString(), vantilcore::filesupport::Dir());
  factory.reset();
}

void VantilInitializer::WithdrawInstallations() {
  std::unique_ptr<vantilcore::xml::DocParserFactory> none;
  vantilcore::xml::SetParserFactory(none);
  if (oleInitialized_) platform::OleUninitialize();
  oleInitialized_ = false;
  vantilcore::config::ErrorManager::Set(nullptr);
  vantilcore::config::Localizer::Set(nullptr, vantilcore::filesupport::Dir());
}

VantilInitializer::~VantilInitializer() {
  WithdrawInstallations();
  localizer_.reset();
  newHandler_.reset();
  errorManager_.reset();
}

}  // namespace Startup
