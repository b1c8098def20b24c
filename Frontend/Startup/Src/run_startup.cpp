#include <Quenor/Quenor.h>
#include <Stoven/Run.h>

#include <cstring>
#include <memory>

#include "crash_handler_registration.h"
#include "crash_handler_settings.h"
#include "launch_constants.h"
#include "launcher_entry.h"
#include "platform/modules.h"
#include "startup_checks.h"
#include "vantil_initializer.h"
#include "vantilcore/config.h"
#include "vantilcore/debug.h"
#include "vantilcore/string.h"

namespace Startup {

namespace {

void SetDebugDatabaseEntries() {
  static const char kKey[] = "ImporterMPEG.disable_MTS_hwdec";
  vantilcore::debug::DebugDatabase& database = vantilcore::debug::DebugDatabase::Instance();
  const auto* key = reinterpret_cast<const unsigned char*>(kKey);
  database.SetEntry(UTF8String(key, key + sizeof(kKey) - 1), database.trueValue);
}

UTF16String ApplicationModulePath() {
  char16_t buffer[kOwnPathBufferUnits] = {};
  platform::GetModuleFileNameW(nullptr, buffer, kOwnPathBufferUnits);
  buffer[kOwnPathBufferUnits - 1] = 0;
  UTF16String directory = vantilcore::string::WcharToUTF16(buffer);
  directory = Quenor::PathUtils::GetFullDirectoryPart(directory);
  directory = Quenor::PathUtils::AddTrailingSlash(directory);
  return directory +
         vantilcore::string::AsciiToUTF16(kStovenModuleName, std::strlen(kStovenModuleName));
}

UTF16String CommandLineCopy(const LauncherChar* commandLine) {
  if (commandLine == nullptr) return UTF16String();
  const auto* units = reinterpret_cast<const char16_t*>(commandLine);
  return UTF16String(units);
}

int RunApplicationModule(const LauncherChar* commandLine, int showCommand) {
  const UTF16String modulePath = ApplicationModulePath();
  platform::ModuleHandle module = platform::LoadLibraryExW(modulePath.c_str(), nullptr, 0);
  if (module == nullptr) return kExitModuleMissing;

  // Without "Run" the module stays loaded: it is unloaded only after a call.
  auto run =
      reinterpret_cast<StovenRunFunction>(platform::GetProcAddress(module, kStovenEntryName));
  if (run == nullptr) return kExitEntryMissing;

  int result = 0;
  {
    const UTF16String commandLineCopy = CommandLineCopy(commandLine);
    result = run(commandLineCopy, showCommand, kLaunchCode);
  }
  platform::FreeLibrary(module);
  return result;
}

}  // namespace

int RunStartup(platform::ModuleHandle instance, platform::ModuleHandle /*previous*/,
               LauncherChar* commandLine, int showCommand) {
  PrepareCrashHandlerSettings(crashHandlerSettings);
  // Locals end in reverse: core initializer, module holder, registration.
  CrashHandlerRegistration registration(&crashHandlerSettings);
  boost::shared_ptr<Quenor::Module> moduleHolder;
  Quenor::Module::Create(instance, moduleHolder);
  std::unique_ptr<VantilInitializer> initializer(new VantilInitializer);

  SetDebugDatabaseEntries();
  RecordCoreSettings(crashHandlerSettings);

  // Both checks take their texts from the localizer installed above.
  CheckRegion();
  if (!CheckProcessor(instance)) return kExitNoProcessorSupport;

  return RunApplicationModule(commandLine, showCommand);
}

}  // namespace Startup
