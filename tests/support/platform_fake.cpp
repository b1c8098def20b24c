#include "test_support/platform_fake.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/debugger.h"
#include "platform/error_reporting.h"
#include "platform/last_error.h"
#include "platform/message_box.h"
#include "platform/module_file_name_common.h"
#include "platform/ole.h"
#include "platform/process_setup.h"
#include "platform/processor.h"
#include "platform/region.h"
#include "platform/registry.h"
#include "platform/special_folders.h"
#include "platform/utf_common.h"

namespace platform {

struct RegistryKey {
  bool root = false;
  std::u16string path;
};

struct ItemIdList {
  std::u16string path;
};

namespace fake {
namespace {

// The part of the system a test set up last, if any.
template <class Area>
Area*& Installed() {
  static Area* installed = nullptr;
  return installed;
}

}  // namespace

template <class Area>
Scoped<Area>::Scoped() : hidden_(std::exchange(Installed<Area>(), &area_)) {}

template <class Area>
Scoped<Area>::~Scoped() {
  Installed<Area>() = hidden_;
}

template class Scoped<ProcessSetup>;
template class Scoped<Processor>;
template class Scoped<Region>;
template class Scoped<MessageBoxes>;
template class Scoped<Registry>;
template class Scoped<ErrorReporting>;
template class Scoped<SpecialFolders>;
template class Scoped<Ole>;
template class Scoped<Modules>;
template class Scoped<Debugger>;

}  // namespace fake

namespace {

// What a call in Area's part answers from: the test's, or a default system.
template <class Area>
Area& The() {
  static Area untouched;
  Area* installed = fake::Installed<Area>();
  return installed != nullptr ? *installed : untouched;
}

constexpr std::uint32_t kErrorModNotFound = 126;
constexpr std::uint32_t kErrorProcNotFound = 127;

std::u16string Text(const char16_t* text) { return text == nullptr ? u"" : text; }

bool CopyPath(const std::u16string& path, char16_t* out) {
  if (out == nullptr || path.size() >= static_cast<std::size_t>(kMaxPath)) return false;
  path.copy(out, path.size());
  out[path.size()] = u'\0';
  return true;
}

class FakeMalloc final : public ShellMalloc {
 public:
  void Free(void* block) override {
    if (block == nullptr) return;
    delete static_cast<ItemIdList*>(block);
    --The<fake::SpecialFolders>().itemListsAlive;
  }
  unsigned long Release() override { return 1; }
};

}  // namespace

// process_setup.h
std::uint32_t SetErrorMode(std::uint32_t mode) {
  fake::ProcessSetup& setup = The<fake::ProcessSetup>();
  setup.errorModesSet.push_back(mode);
  return std::exchange(setup.errorMode, mode);
}

HeapHandle GetProcessHeap() {
  fake::ProcessSetup& setup = The<fake::ProcessSetup>();
  return setup.hasProcessHeap ? &setup : nullptr;
}

bool HeapSetInformation(HeapHandle, int informationClass, void* information, std::size_t length) {
  fake::ProcessSetup& setup = The<fake::ProcessSetup>();
  ++setup.heapInformationCalls;
  setup.heapInformationClass = informationClass;
  setup.heapInformationLength = length;
  if (information != nullptr && length == sizeof(std::uint32_t)) {
    std::memcpy(&setup.heapInformationValue, information, length);
  }
  return true;
}

// processor.h
bool IsProcessorFeaturePresent(std::uint32_t feature) {
  return feature == kPfXmmiInstructionsAvailable && The<fake::Processor>().ssePresent;
}

// region.h
GeoId GetUserGeoID(std::uint32_t geoClass) {
  return geoClass == kGeoClassNation ? The<fake::Region>().geoId : kGeoIdNotAvailable;
}

int GetGeoInfoW(GeoId location, std::uint32_t geoType, char16_t* data, int dataLength,
                std::uint16_t) {
  fake::Region& region = The<fake::Region>();
  const std::u16string& iso2 = region.geoIso2;
  if (location != region.geoId || geoType != kGeoIso2 || iso2.empty() || dataLength < 0) {
    SetLastErrorCode(kErrorInvalidParameter);
    return 0;
  }
  const int needed = static_cast<int>(iso2.size()) + 1;
  if (dataLength == 0) return needed;
  if (data == nullptr || dataLength < needed) {
    SetLastErrorCode(kErrorInsufficientBuffer);
    return 0;
  }
  iso2.copy(data, iso2.size());
  data[iso2.size()] = u'\0';
  return needed;
}

std::u16string UserLanguageTag() { return The<fake::Region>().languageTag; }

// message_box.h
int MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                std::uint32_t type) {
  fake::MessageBoxes& boxes = The<fake::MessageBoxes>();
  boxes.shown.push_back({owner, Text(caption), Text(text), type});
  // Also told on standard error, for tests of paths that end the process.
  std::fprintf(stderr, "message box \"%s\": %s\n", Utf16ToUtf8(Text(caption)).c_str(),
               Utf16ToUtf8(Text(text)).c_str());
  return boxes.result;
}

// registry.h
RegKey HkeyCurrentUser() {
  static RegistryKey root{true, {}};
  return &root;
}

Status RegCreateKeyExW(RegKey root, const char16_t* subKey, std::uint32_t, char16_t*,
                       std::uint32_t options, std::uint32_t access, void*, RegKey* result,
                       std::uint32_t* disposition) {
  fake::Registry& registry = The<fake::Registry>();
  if (root == nullptr || result == nullptr) return static_cast<Status>(kErrorInvalidParameter);
  *result = nullptr;
  if (registry.createKeyStatus != 0) return registry.createKeyStatus;
  std::u16string path = root->path;
  if (!path.empty() && subKey != nullptr && *subKey != u'\0') path += u'\\';
  path += Text(subKey);
  registry.createdKeys.push_back({path, options, access});
  const bool existed = registry.keys.count(path) != 0;
  registry.keys[path];
  if (disposition != nullptr) *disposition = existed ? 2 : 1;
  *result = new RegistryKey{false, path};  // freed by RegCloseKey
  ++registry.openKeys;
  return 0;
}

Status RegSetValueExW(RegKey key, const char16_t* valueName, std::uint32_t, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) {
  fake::Registry& registry = The<fake::Registry>();
  if (key == nullptr || (data == nullptr && size != 0)) {
    return static_cast<Status>(kErrorInvalidParameter);
  }
  if (registry.setValueStatus != 0) return registry.setValueStatus;
  registry.keys[key->path][Text(valueName)] = {type, std::vector<std::uint8_t>(data, data + size)};
  return 0;
}

Status RegDeleteValueW(RegKey key, const char16_t* valueName) {
  if (key == nullptr) return static_cast<Status>(kErrorInvalidParameter);
  auto& values = The<fake::Registry>().keys[key->path];
  if (values.erase(Text(valueName)) == 0) return static_cast<Status>(kErrorFileNotFound);
  return 0;
}

Status RegCloseKey(RegKey key) {
  if (key == nullptr) return static_cast<Status>(kErrorInvalidParameter);
  if (key->root) return 0;
  delete key;
  --The<fake::Registry>().openKeys;
  return 0;
}

// error_reporting.h
HResult WerRegisterRuntimeExceptionModule(const char16_t* path, void* context) {
  fake::ErrorReporting& reporting = The<fake::ErrorReporting>();
  reporting.registrations.push_back({Text(path), context});
  return reporting.result;
}

HResult WerUnregisterRuntimeExceptionModule(const char16_t* path, void* context) {
  fake::ErrorReporting& reporting = The<fake::ErrorReporting>();
  reporting.unregistrations.push_back({Text(path), context});
  return reporting.result;
}

// special_folders.h
bool SHGetSpecialFolderPathW(WindowHandle, char16_t* path, int folder, bool create) {
  fake::SpecialFolders& folders = The<fake::SpecialFolders>();
  if (create) folders.created.push_back(folder);
  const auto found = folders.folders.find(folder);
  return found != folders.folders.end() && CopyPath(found->second, path);
}

HResult SHGetSpecialFolderLocation(WindowHandle, int folder, ItemIdList** list) {
  fake::SpecialFolders& folders = The<fake::SpecialFolders>();
  if (list == nullptr) return kEFail;
  *list = nullptr;
  const auto found = folders.folders.find(folder);
  if (found == folders.folders.end()) return kEFail;
  *list = new ItemIdList{found->second};  // freed by the allocator's Free
  ++folders.itemListsAlive;
  return kSOk;
}

bool SHGetPathFromIDListW(const ItemIdList* list, char16_t* path) {
  return list != nullptr && CopyPath(list->path, path);
}

HResult SHGetMalloc(ShellMalloc** malloc) {
  static FakeMalloc allocator;
  if (malloc == nullptr) return kEFail;
  *malloc = &allocator;
  return kSOk;
}

// ole.h
HResult OleInitialize(void*) {
  fake::Ole& ole = The<fake::Ole>();
  ++ole.initializeCalls;
  return ole.result;
}

void OleUninitialize() { ++The<fake::Ole>().uninitializeCalls; }

// modules.h
ModuleHandle GetModuleHandleW(const char16_t* name) {
  fake::Modules& modules = The<fake::Modules>();
  if (name == nullptr) return &modules.executable;
  const auto found = modules.loadable.find(name);
  if (found == modules.loadable.end() || found->second.references == 0) {
    SetLastErrorCode(kErrorModNotFound);
    return nullptr;
  }
  return &found->second;
}

std::uint32_t GetModuleFileNameW(ModuleHandle module, char16_t* buffer, std::uint32_t size) {
  fake::Modules& modules = The<fake::Modules>();
  if (module == nullptr || module == &modules.executable) {
    return CopyModuleFileName(modules.executablePath, buffer, size);
  }
  return CopyModuleFileName(static_cast<fake::Modules::Module*>(module)->path, buffer, size);
}

ModuleHandle LoadLibraryExW(const char16_t* path, void*, std::uint32_t) {
  fake::Modules& modules = The<fake::Modules>();
  modules.loadAttempts.push_back(Text(path));
  const auto found = modules.loadable.find(Text(path));
  if (found == modules.loadable.end()) {
    SetLastErrorCode(kErrorModNotFound);
    return nullptr;
  }
  found->second.path = found->first;
  ++found->second.references;
  return &found->second;
}

ProcAddress GetProcAddress(ModuleHandle module, const char* name) {
  if (module == nullptr || name == nullptr) {
    SetLastErrorCode(kErrorInvalidParameter);
    return nullptr;
  }
  const auto& exports = static_cast<fake::Modules::Module*>(module)->exports;
  const auto found = exports.find(name);
  if (found == exports.end()) {
    SetLastErrorCode(kErrorProcNotFound);
    return nullptr;
  }
  return found->second;
}

bool FreeLibrary(ModuleHandle module) {
  fake::Modules& modules = The<fake::Modules>();
  if (module == nullptr || module == &modules.executable) return false;
  auto* loaded = static_cast<fake::Modules::Module*>(module);
  if (loaded->references == 0) return false;
  --loaded->references;
  modules.freed.push_back(loaded->path);
  return true;
}

// debugger.h
bool IsDebuggerPresent() { return The<fake::Debugger>().present; }

void DebugBreak() { ++The<fake::Debugger>().breaks; }

}  // namespace platform
