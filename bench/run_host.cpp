// The floor of a real start: load the application module by path and call
// its "Run" with an empty command line, as the launcher would, and nothing
// else. No prefetch, no crash reporting, no core library set-up.
#include <Stoven/Run.h>
#include <dlfcn.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: run_host STOVEN_DLL\n");
    return 2;
  }
  void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) return 1;
  auto* run = reinterpret_cast<StovenRunFunction>(dlsym(module, "Run"));
  if (run == nullptr) return 1;
  const UTF16String commandLine;
  const int result = run(commandLine, 10, 0x7C4A91D3u);
  dlclose(module);
  return result;
}
