// The floor the launcher is measured against: load one library by path and
// call one function in it.
#include <dlfcn.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: minimal_host LIBRARY\n");
    return 2;
  }
  void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return 1;
  auto entry = reinterpret_cast<int (*)()>(dlsym(library, "Touch"));
  const int result = entry != nullptr ? entry() : 1;
  dlclose(library);
  return result;
}
