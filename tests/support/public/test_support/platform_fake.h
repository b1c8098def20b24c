#pragma once

// A steerable stand-in for the platform layer, one part of the system at a
// time. A test makes a Scoped<Area> for each part it steers or reads back:
// while it lives, the layer's calls in that part answer from it, and when it
// goes the part it hid answers again. A part no test has set up answers as a
// plain default system does.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/export.h"
#include "platform/modules.h"
#include "platform/types.h"

namespace platform::fake {

// Each part is exported: Scoped<Part> is no more visible than its argument.

// process_setup.h
struct PLATFORM_API ProcessSetup {
  std::uint32_t errorMode = 0;
  std::vector<std::uint32_t> errorModesSet;
  bool hasProcessHeap = true;
  int heapInformationCalls = 0;
  int heapInformationClass = -1;
  std::uint32_t heapInformationValue = 0;
  std::size_t heapInformationLength = 0;
};

// processor.h
struct PLATFORM_API Processor {
  bool ssePresent = true;
};

// region.h
struct PLATFORM_API Region {
  GeoId geoId = 0;
  std::u16string geoIso2;  // empty: GetGeoInfoW fails
  std::u16string languageTag = u"en_US";
};

// message_box.h: every box shown, answered with `result`.
struct PLATFORM_API MessageBoxes {
  struct Shown {
    WindowHandle owner = nullptr;
    std::u16string caption;
    std::u16string text;
    std::uint32_t flags = 0;
  };
  std::vector<Shown> shown;
  int result = 1;
};

// registry.h
struct PLATFORM_API Registry {
  struct Value {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
  };
  struct CreatedKey {
    std::u16string path;  // from the root, parts joined by "\"
    std::uint32_t options = 0;
    std::uint32_t access = 0;
  };
  // Key path -> value name -> value.
  std::map<std::u16string, std::map<std::u16string, Value>> keys;
  std::vector<CreatedKey> createdKeys;
  Status createKeyStatus = 0;  // non-zero: RegCreateKeyExW fails with it
  Status setValueStatus = 0;
  int openKeys = 0;
};

// error_reporting.h
struct PLATFORM_API ErrorReporting {
  struct Call {
    std::u16string path;
    void* context = nullptr;
  };
  std::vector<Call> registrations;
  std::vector<Call> unregistrations;
  HResult result = kSOk;
};

// special_folders.h: folders by CSIDL; a missing one fails.
struct PLATFORM_API SpecialFolders {
  std::map<int, std::u16string> folders;
  std::vector<int> created;
  int itemListsAlive = 0;
};

// ole.h
struct PLATFORM_API Ole {
  HResult result = kSOk;
  int initializeCalls = 0;
  int uninitializeCalls = 0;
};

// modules.h: the executable, and the modules LoadLibraryExW finds by path.
struct PLATFORM_API Modules {
  struct Module {
    std::u16string path;
    std::map<std::string, ProcAddress> exports;
    int references = 0;
  };
  std::u16string executablePath = u"C:\\Program Files\\Pellicor\\Pellicor.exe";
  Module executable;
  std::map<std::u16string, Module> loadable;
  std::vector<std::u16string> loadAttempts;
  std::vector<std::u16string> freed;
};

// debugger.h
struct PLATFORM_API Debugger {
  bool present = false;
  int breaks = 0;
};

template <class Area>
class PLATFORM_API Scoped {
 public:
  Scoped();
  ~Scoped();
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;

  Area& operator*() { return area_; }
  Area* operator->() { return &area_; }

 private:
  Area area_;
  Area* hidden_;
};

extern template class Scoped<ProcessSetup>;
extern template class Scoped<Processor>;
extern template class Scoped<Region>;
extern template class Scoped<MessageBoxes>;
extern template class Scoped<Registry>;
extern template class Scoped<ErrorReporting>;
extern template class Scoped<SpecialFolders>;
extern template class Scoped<Ole>;
extern template class Scoped<Modules>;
extern template class Scoped<Debugger>;

}  // namespace platform::fake
