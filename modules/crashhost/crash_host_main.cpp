// Started by a crashing launcher (see platform/crash_host_posix.cpp): loads
// the registered crash handler module and hands it the crashed process.
#include <crashhost/exception_information.h>
#include <dlfcn.h>

#include <cstdio>
#include <memory>

#include "crash_host_arguments.h"

namespace {

struct ModuleCloser {
  void operator()(void* module) const { dlclose(module); }
};
using LoadedModule = std::unique_ptr<void, ModuleCloser>;

constexpr int kExitBadArguments = 2;
constexpr int kExitNoModule = 3;
constexpr int kExitModuleFailed = 4;

}  // namespace

int main(int argc, char** argv) {
  const auto request = crashhost::ParseCrashHostArguments(argc, argv);
  if (!request) {
    std::fprintf(stderr,
                 "%s: started with malformed arguments; it is started by a crashing process\n",
                 kCrashHostFileName);
    return kExitBadArguments;
  }
  const LoadedModule module(dlopen(request->modulePath.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!module) {
    std::fprintf(stderr, "%s: cannot load %s: %s\n", kCrashHostFileName,
                 request->modulePath.c_str(), dlerror());
    return kExitNoModule;
  }
  const auto callback =
      reinterpret_cast<CrashEventCallback>(dlsym(module.get(), kCrashEventCallbackName));
  if (callback == nullptr) {
    std::fprintf(stderr, "%s: %s has no %s\n", kCrashHostFileName, request->modulePath.c_str(),
                 kCrashEventCallbackName);
    return kExitNoModule;
  }

  std::int32_t claimed = 0;
  char16_t eventName[64] = {};
  std::uint32_t eventNameSize = sizeof(eventName) / sizeof(eventName[0]);
  std::uint32_t signatureCount = 0;
  const std::int32_t result =
      callback(reinterpret_cast<void*>(static_cast<std::uintptr_t>(request->context)),
               &request->information, &claimed, eventName, &eventNameSize, &signatureCount);
  return result >= 0 ? 0 : kExitModuleFailed;
}
