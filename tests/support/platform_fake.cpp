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

State& Current() {
  static State state;  // the fake's one steerable state
  return state;
}

void Reset() { Current() = State{}; }

}  // namespace fake

namespace {

constexpr std::uint32_t kErrorModNotFound = 126;
constexpr std::uint32_t kErrorProcNotFound = 127;

fake::State& S() { return fake::Current(); }

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
    --S().itemListsAlive;
  }
  unsigned long Release() override { return 1; }
};

}  // namespace

// process_setup.h
std::uint32_t SetErrorMode(std::uint32_t mode) {
  S().errorModesSet.push_back(mode);
  return std::exchange(S().errorMode, mode);
}

HeapHandle GetProcessHeap() { return S().hasProcessHeap ? &S() : nullptr; }

bool HeapSetInformation(HeapHandle, int informationClass, void* information, std::size_t length) {
  ++S().heapInformationCalls;
  S().heapInformationClass = informationClass;
  S().heapInformationLength = length;
  if (information != nullptr && length == sizeof(std::uint32_t)) {
    std::memcpy(&S().heapInformationValue, information, length);
  }
  return true;
}

// processor.h
bool IsProcessorFeaturePresent(std::uint32_t feature) {
  return feature == kPfXmmiInstructionsAvailable && S().ssePresent;
}

// region.h
GeoId GetUserGeoID(std::uint32_t geoClass) {
  return geoClass == kGeoClassNation ? S().geoId : kGeoIdNotAvailable;
}

int GetGeoInfoW(GeoId location, std::uint32_t geoType, char16_t* data, int dataLength,
                std::uint16_t) {
  const std::u16string& iso2 = S().geoIso2;
  if (location != S().geoId || geoType != kGeoIso2 || iso2.empty() || dataLength < 0) {
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

std::u16string UserLanguageTag() { return S().languageTag; }

// message_box.h
int MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                std::uint32_t type) {
  S().messageBoxes.push_back({owner, Text(caption), Text(text), type});
  // Also told on standard error, for tests of paths that end the process.
  std::fprintf(stderr, "message box \"%s\": %s\n", Utf16ToUtf8(Text(caption)).c_str(),
               Utf16ToUtf8(Text(text)).c_str());
  return S().messageBoxResult;
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
  if (S().createKeyStatus != 0) return S().createKeyStatus;
  std::u16string path = root->path;
  if (!path.empty() && subKey != nullptr && *subKey != u'\0') path += u'\\';
  path += Text(subKey);
  S().createdKeys.push_back({path, options, access});
  const bool existed = S().registry.count(path) != 0;
  S().registry[path];
  if (disposition != nullptr) *disposition = existed ? 2 : 1;
  *result = new RegistryKey{false, path};  // freed by RegCloseKey
  ++S().openKeys;
  return 0;
}

Status RegSetValueExW(RegKey key, const char16_t* valueName, std::uint32_t, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) {
  if (key == nullptr || (data == nullptr && size != 0)) {
    return static_cast<Status>(kErrorInvalidParameter);
  }
  if (S().setValueStatus != 0) return S().setValueStatus;
  S().registry[key->path][Text(valueName)] = {type, std::vector<std::uint8_t>(data, data + size)};
  return 0;
}

Status RegDeleteValueW(RegKey key, const char16_t* valueName) {
  if (key == nullptr) return static_cast<Status>(kErrorInvalidParameter);
  auto& values = S().registry[key->path];
  if (values.erase(Text(valueName)) == 0) return static_cast<Status>(kErrorFileNotFound);
  return 0;
}

Status RegCloseKey(RegKey key) {
  if (key == nullptr) return static_cast<Status>(kErrorInvalidParameter);
  if (key->root) return 0;
  delete key;
  --S().openKeys;
  return 0;
}

// error_reporting.h
HResult WerRegisterRuntimeExceptionModule(const char16_t* path, void* context) {
  S().werRegistrations.push_back({Text(path), context});
  return S().werResult;
}

HResult WerUnregisterRuntimeExceptionModule(const char16_t* path, void* context) {
  S().werUnregistrations.push_back({Text(path), context});
  return S().werResult;
}

// special_folders.h
bool SHGetSpecialFolderPathW(WindowHandle, char16_t* path, int folder, bool create) {
  if (create) S().foldersCreated.push_back(folder);
  const auto found = S().specialFolders.find(folder);
  return found != S().specialFolders.end() && CopyPath(found->second, path);
}

HResult SHGetSpecialFolderLocation(WindowHandle, int folder, ItemIdList** list) {
  if (list == nullptr) return kEFail;
  *list = nullptr;
  const auto found = S().specialFolders.find(folder);
  if (found == S().specialFolders.end()) return kEFail;
  *list = new ItemIdList{found->second};  // freed by the allocator's Free
  ++S().itemListsAlive;
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
  ++S().oleInitializeCalls;
  return S().oleResult;
}

void OleUninitialize() { ++S().oleUninitializeCalls; }

// modules.h
ModuleHandle GetModuleHandleW(const char16_t* name) {
  if (name == nullptr) return &S().executable;
  const auto found = S().modules.find(name);
  if (found == S().modules.end() || found->second.references == 0) {
    SetLastErrorCode(kErrorModNotFound);
    return nullptr;
  }
  return &found->second;
}

std::uint32_t GetModuleFileNameW(ModuleHandle module, char16_t* buffer, std::uint32_t size) {
  if (module == nullptr || module == &S().executable) {
    return CopyModuleFileName(S().moduleFileName, buffer, size);
  }
  return CopyModuleFileName(static_cast<fake::Module*>(module)->path, buffer, size);
}

ModuleHandle LoadLibraryExW(const char16_t* path, void*, std::uint32_t) {
  S().loadAttempts.push_back(Text(path));
  const auto found = S().modules.find(Text(path));
  if (found == S().modules.end()) {
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
  const auto& exports = static_cast<fake::Module*>(module)->exports;
  const auto found = exports.find(name);
  if (found == exports.end()) {
    SetLastErrorCode(kErrorProcNotFound);
    return nullptr;
  }
  return found->second;
}

bool FreeLibrary(ModuleHandle module) {
  if (module == nullptr || module == &S().executable) return false;
  auto* loaded = static_cast<fake::Module*>(module);
  if (loaded->references == 0) return false;
  --loaded->references;
  S().freedModules.push_back(loaded->path);
  return true;
}

// debugger.h
bool IsDebuggerPresent() { return S().debuggerPresent; }

void DebugBreak() { ++S().debugBreaks; }

}  // namespace platform
