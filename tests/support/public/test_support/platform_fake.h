#pragma once

// A steerable stand-in for the platform layer: tests set what the system
// answers and read back what was asked of it. One state per process; call
// Reset() in each test's set-up.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/export.h"
#include "platform/modules.h"
#include "platform/types.h"

namespace platform::fake {

struct MessageBox {
  WindowHandle owner = nullptr;
  std::u16string caption;
  std::u16string text;
  std::uint32_t flags = 0;
};

struct RegistryValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct CreatedKey {
  std::u16string path;  // from the root, parts joined by "\"
  std::uint32_t options = 0;
  std::uint32_t access = 0;
};

struct WerRegistration {
  std::u16string path;
  void* context = nullptr;
};

struct Module {
  std::u16string path;
  std::map<std::string, ProcAddress> exports;
  int references = 0;
};

struct State {
  // Process set-up
  std::uint32_t errorMode = 0;
  std::vector<std::uint32_t> errorModesSet;
  bool hasProcessHeap = true;
  int heapInformationCalls = 0;
  int heapInformationClass = -1;
  std::uint32_t heapInformationValue = 0;
  std::size_t heapInformationLength = 0;

  // Processor and region
  bool ssePresent = true;
  GeoId geoId = 0;
  std::u16string geoIso2;  // empty: GetGeoInfoW fails
  std::u16string languageTag = u"en_US";

  // Message boxes, answered with messageBoxResult
  std::vector<MessageBox> messageBoxes;
  int messageBoxResult = 1;

  // Registry: key path -> value name -> value
  std::map<std::u16string, std::map<std::u16string, RegistryValue>> registry;
  std::vector<CreatedKey> createdKeys;
  Status createKeyStatus = 0;  // non-zero: RegCreateKeyExW fails with it
  Status setValueStatus = 0;
  int openKeys = 0;

  // Error reporting
  std::vector<WerRegistration> werRegistrations;
  std::vector<WerRegistration> werUnregistrations;
  HResult werResult = kSOk;

  // Special folders by CSIDL; a missing one fails
  std::map<int, std::u16string> specialFolders;
  std::vector<int> foldersCreated;
  int itemListsAlive = 0;

  // OLE
  HResult oleResult = kSOk;
  int oleInitializeCalls = 0;
  int oleUninitializeCalls = 0;

  // Modules: the executable, and the modules LoadLibraryExW can find by path
  std::u16string moduleFileName = u"C:\\Program Files\\Pellicor\\Pellicor.exe";
  Module executable;
  std::map<std::u16string, Module> modules;
  std::vector<std::u16string> loadAttempts;
  std::vector<std::u16string> freedModules;

  // Debugger
  bool debuggerPresent = false;
  int debugBreaks = 0;
};

PLATFORM_API State& Current();
PLATFORM_API void Reset();

}  // namespace platform::fake
