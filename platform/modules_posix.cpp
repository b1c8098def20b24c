// Modules are shared objects: a handle is what dlopen returns (glibc's
// link map), paths are UTF-8 on disk and UTF-16 at the interface.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "executable_path_posix.h"
#include "platform/last_error.h"
#include "platform/module_file_name_common.h"
#include "platform/modules.h"
#include "platform/utf_common.h"

namespace platform {
namespace {

constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorModNotFound = 126;
constexpr std::uint32_t kErrorProcNotFound = 127;

std::string ReadExecutablePath() {
  std::vector<char> buffer(PATH_MAX);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

link_map* MainLinkMap() {
  void* self = dlopen(nullptr, RTLD_NOW);
  link_map* map = nullptr;
  if (self == nullptr || dlinfo(self, RTLD_DI_LINKMAP, &map) != 0) return nullptr;
  return map;
}

// Only handles of loaded objects are looked into: anything else is refused
// rather than dereferenced.
const link_map* LoadedObject(ModuleHandle module) {
  for (const link_map* map = MainLinkMap(); map != nullptr; map = map->l_next) {
    if (map == module) return map;
  }
  return nullptr;
}

std::string AbsolutePath(const char* name) {
  if (name == nullptr || *name == '\0') return ExecutablePath();
  char* resolved = realpath(name, nullptr);
  if (resolved == nullptr) return name;
  std::string path(resolved);
  std::free(resolved);
  return path;
}

std::string LibraryPath(const char16_t* path) {
  std::string name = Utf16ToUtf8(path);
  // dlopen searches the library path for a bare name; this layer loads by
  // the path given only.
  if (name.find('/') == std::string::npos) name.insert(0, "./");
  return name;
}

}  // namespace

// Read once, as Windows keeps the path the program was started from: the
// launch asks for it several times, and each read walks the path anew.
const std::string& ExecutablePath() {
  static const std::string path = ReadExecutablePath();
  return path;
}

ModuleHandle GetModuleHandleW(const char16_t* name) {
  if (name == nullptr) return dlopen(nullptr, RTLD_NOW);
  void* module = dlopen(LibraryPath(name).c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (module == nullptr) {
    SetLastErrorCode(kErrorModNotFound);
    return nullptr;
  }
  dlclose(module);  // a module handle is not a reference
  return module;
}

std::uint32_t GetModuleFileNameW(ModuleHandle module, char16_t* buffer, std::uint32_t size) {
  if (module == nullptr) return CopyModuleFileName(Utf8ToUtf16(ExecutablePath()), buffer, size);
  const link_map* map = LoadedObject(module);
  if (map == nullptr) {
    SetLastErrorCode(kErrorModNotFound);
    return 0;
  }
  return CopyModuleFileName(Utf8ToUtf16(AbsolutePath(map->l_name)), buffer, size);
}

ModuleHandle LoadLibraryExW(const char16_t* path, void*, std::uint32_t) {
  if (path == nullptr || *path == u'\0') {
    SetLastErrorCode(kErrorInvalidParameter);
    return nullptr;
  }
  void* module = dlopen(LibraryPath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) SetLastErrorCode(kErrorModNotFound);
  return module;
}

ProcAddress GetProcAddress(ModuleHandle module, const char* name) {
  if (module == nullptr || name == nullptr) {
    SetLastErrorCode(kErrorInvalidHandle);
    return nullptr;
  }
  void* symbol = dlsym(module, name);
  if (symbol == nullptr) {
    SetLastErrorCode(kErrorProcNotFound);
    return nullptr;
  }
  return reinterpret_cast<ProcAddress>(symbol);
}

bool FreeLibrary(ModuleHandle module) {
  if (module == nullptr) {
    SetLastErrorCode(kErrorInvalidHandle);
    return false;
  }
  return dlclose(module) == 0;
}

}  // namespace platform
