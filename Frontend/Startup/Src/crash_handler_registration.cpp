#include "crash_handler_registration.h"

#include <cstdint>

#include "platform/error_reporting.h"
#include "platform/modules.h"
#include "platform/registry.h"
#include "vantilcore/string.h"
#include "vantilcore/utility.h"

namespace Startup {

namespace {

constexpr char16_t kHelperModulesKey[] =
    u"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\RuntimeExceptionHelperModules";
constexpr char kCrashHandlerFileName[] = "vantilcrashhandler.dll";

// Opens (creating, volatile) the key that lists the helper modules.
class HelperModulesKey {
 public:
  HelperModulesKey() {
    opened_ = platform::RegCreateKeyExW(platform::HkeyCurrentUser(), kHelperModulesKey, 0, nullptr,
                                        platform::kRegOptionVolatile, platform::kKeyWrite, nullptr,
                                        &key_, nullptr) == platform::kErrorSuccess;
  }
  ~HelperModulesKey() {
    if (opened_) platform::RegCloseKey(key_);
  }
  HelperModulesKey(const HelperModulesKey&) = delete;
  HelperModulesKey& operator=(const HelperModulesKey&) = delete;

  bool SetValue(const UTF16String& name) {
    const std::uint32_t zero = 0;
    return opened_ && platform::RegSetValueExW(key_, name.c_str(), 0, platform::kRegDword,
                                               reinterpret_cast<const std::uint8_t*>(&zero),
                                               sizeof(zero)) == platform::kErrorSuccess;
  }
  bool DeleteValue(const UTF16String& name) {
    return opened_ && platform::RegDeleteValueW(key_, name.c_str()) == platform::kErrorSuccess;
  }

 private:
  platform::RegKey key_ = nullptr;
  bool opened_ = false;
};

}  // namespace

UTF16String GetCrashHandlerPath() {
  const UTF16String executable =
      vantilcore::utility::GetModulePath(platform::GetModuleHandleW(nullptr));
  UTF16String parent;
  if (!vantilcore::utility::FileUtils::GetParentPath(executable, parent)) return UTF16String();
  UTF16String path;
  vantilcore::utility::FileUtils::BuildPathSpec(
      parent,
      vantilcore::string::AsciiToUTF16(kCrashHandlerFileName, sizeof(kCrashHandlerFileName) - 1),
      path);
  return path;
}

CrashHandlerRegistration::CrashHandlerRegistration(void* context) : context_(context) {
  const UTF16String path = GetCrashHandlerPath();
  bool written = false;
  {
    HelperModulesKey key;
    written = key.SetValue(path);
  }
  if (written) platform::WerRegisterRuntimeExceptionModule(path.c_str(), context_);
}

CrashHandlerRegistration::~CrashHandlerRegistration() {
  const UTF16String path = GetCrashHandlerPath();
  bool deleted = false;
  {
    HelperModulesKey key;
    deleted = key.DeleteValue(path);
  }
  if (deleted) platform::WerUnregisterRuntimeExceptionModule(path.c_str(), context_);
}

}  // namespace Startup
