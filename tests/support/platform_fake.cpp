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
  The<fake::ProcessSetup>().errorModesSet.push_back(mode);
  return std::exchange(The<fake::ProcessSetup>().errorMode, mode);
}

HeapHandle GetProcessHeap() {
  return The<fake::ProcessSetup>().hasProcessHeap ? &The<fake::ProcessSetup>() : nullptr;
}

bool HeapSetInformation(HeapHandle, int informationClass, void* information, std::size_t length) {
  ++The<fake::ProcessSetup>().heapInformationCalls;
  The<fake::ProcessSetup>().heapInformationClass = informationClass;
  The<fake::ProcessSetup>().heapInformationLength = length;
  if (information != nullptr && length == sizeof(std::uint32_t)) {
    std::memcpy(&The<fake::ProcessSetup>().heapInformationValue, information, length);
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
  const std::u16string& iso2 = The<fake::Region>().geoIso2;
  if (location != The<fake::Region>().geoId || geoType != kGeoIso2 || iso2.empty() ||
      dataLength < 0) {
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
  The<fake::MessageBoxes>().shown.push_back({owner, Text(caption), Text(text), type});
  // Also told on standard error, for tests of paths that end the process.
  std::fprintf(stderr, "message box \"%s\": %s\n", Utf16ToUtf8(Text(caption)).c_str(),
               Utf16ToUtf8(Text(text)).c_str());
  return The<fake::MessageBoxes>().result;
}

// registry.h
RegKey HkeyCurrentUser() {
  static RegistryKey root{true, {}};
  return &root;
}

Status RegCreateKeyExW(RegKey root, const char16_t* subKey, std::uint32_t, char16_t*,
                       std::uint32_t options, std::uint32_t access, void*, RegKey* result,
                       std::uint32_t* disposition) {
  if (root == nullptr || result == nullptr) return static_cast<Status>(kErrorInvalidParameter);
  *result = nullptr;
  if (The<fake::Registry>().createKeyStatus != 0) return The<fake::Registry>().createKeyStatus;
  std::u16string path = root->path;
  if (!path.empty() && subKey != nullptr && *subKey != u'\0') path += u'\\';
  path += Text(subKey);
  The<fake::Registry>().createdKeys.push_back({path, options, access});
  const bool existed = The<fake::Registry>().keys.count(path) != 0;
  The<fake::Registry>().keys[path];
  if (disposition != nullptr) *disposition = existed ? 2 : 1;
  *result = new RegistryKey{false, path};  // freed by RegCloseKey
  ++The<fake::Registry>().openKeys;
  return 0;
}

Status RegSetValueExW(RegKey key, const char16_t* valueName, std::uint32_t, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) {
  if (key == nullptr || (data == nullptr && size != 0)) {
    return static_cast<Status>(kErrorInvalidParameter);
  }
  if (The<fake::Registry>().setValueStatus != 0) return The<fake::Registry>().setValueStatus;
  The<fake::Registry>().keys[key->path][Text(valueName)] = {
      type, std::vector<std::uint8_t>(data, data + size)};
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
  The<fake::ErrorReporting>().registrations.push_back({Text(path), context});
  return The<fake::ErrorReporting>().result;
}

HResult WerUnregisterRuntimeExceptionModule(const char16_t* path, void* context) {
  The<fake::ErrorReporting>().unregistrations.push_back({Text(path), context});
  return The<fake::ErrorReporting>().result;
}

// special_folders.h
bool SHGetSpecialFolderPathW(WindowHandle, char16_t* path, int folder, bool create) {
  if (create) The<fake::SpecialFolders>().created.push_back(folder);
  const auto found = The<fake::SpecialFolders>().folders.find(folder);
  return found != The<fake::SpecialFolders>().folders.end() && CopyPath(found->second, path);
}

HResult SHGetSpecialFolderLocation(WindowHandle, int folder, ItemIdList** list) {
  if (list == nullptr) return kEFail;
  *list = nullptr;
  const auto found = The<fake::SpecialFolders>().folders.find(folder);
  if (found == The<fake::SpecialFolders>().folders.end()) return kEFail;
  *list = new ItemIdList{found->second};  // freed by the allocator's Free
  ++The<fake::SpecialFolders>().itemListsAlive;
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
  ++The<fake::Ole>().initializeCalls;
  return The<fake::Ole>().result;
}

void OleUninitialize() { ++The<fake::Ole>().uninitializeCalls; }

// modules.h
ModuleHandle GetModuleHandleW(const char16_t* name) {
  if (name == nullptr) return &The<fake::Modules>().executable;
  const auto found = The<fake::Modules>().loadable.find(name);
  if (found == The<fake::Modules>().loadable.end() || found->second.references == 0) {
    SetLastErrorCode(kErrorModNotFound);
    return nullptr;
  }
  return &found->second;
}

std::uint32_t GetModuleFileNameW(ModuleHandle module, char16_t* buffer, std::uint32_t size) {
  if (module == nullptr || module == &The<fake::Modules>().executable) {
    return CopyModuleFileName(The<fake::Modules>().executablePath, buffer, size);
  }
  return CopyModuleFileName(static_cast<fake::Modules::Module*>(module)->path, buffer, size);
}

ModuleHandle LoadLibraryExW(const char16_t* path, void*, std::uint32_t) {
  The<fake::Modules>().loadAttempts.push_back(Text(path));
  const auto found = The<fake::Modules>().loadable.find(Text(path));
  if (found == The<fake::Modules>().loadable.end()) {
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
  if (module == nullptr || module == &The<fake::Modules>().executable) return false;
  auto* loaded = static_cast<fake::Modules::Module*>(module);
  if (loaded->references == 0) return false;
  --loaded->references;
  The<fake::Modules>().freed.push_back(loaded->path);
  return true;
}

// debugger.h
bool IsDebuggerPresent() { return The<fake::Debugger>().present; }

void DebugBreak() { ++The<fake::Debugger>().breaks; }

}  // namespace platform
