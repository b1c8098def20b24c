// The resolver behind the lazy-binding stubs: a library named by a stub is
// loaded from the program's own folder at the first call into it, as a
// delay-loaded DLL is on Windows, and never from the library search path.
#include <dlfcn.h>
#include <errno.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace {

// Laid out by the generated stubs.
struct LazyLibrary {
  void* handle;
  const char* fileName;
};

struct LazySymbol {
  void** slot;
  const char* name;
  LazyLibrary* library;
};

std::string ProgramFolder() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return std::string();
  path.resize(static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/') + 1);
}

// A library the program needs is missing: the program cannot go on, as it
// cannot when the loader misses one at start. One line, then the loader's
// own exit status.
[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what);
  std::fflush(stderr);
  _exit(127);
}

void* Load(LazyLibrary& library) {
  static const std::string folder = ProgramFolder();  // one read for every library
  const std::string path = folder + library.fileName;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    Fail((std::string("cannot load ") + library.fileName + ": " +
          (reason != nullptr ? reason : path.c_str()))
             .c_str());
  }
  return handle;
}

}  // namespace

extern "C" __attribute__((visibility("hidden"))) void* pellicor_lazy_resolve(LazySymbol* symbol) {
  // Two threads may make a first call at once: one loads, both bind.
  static std::mutex mutex;
  const std::lock_guard<std::mutex> lock(mutex);
  LazyLibrary& library = *symbol->library;
  if (library.handle == nullptr) library.handle = Load(library);
  void* address = dlsym(library.handle, symbol->name);
  if (address == nullptr) {
    Fail((std::string("cannot find ") + symbol->name + " in " + library.fileName).c_str());
  }
  std::atomic_ref<void*>(*symbol->slot).store(address, std::memory_order_release);
  return address;
}
