#pragma once

#if defined(_WIN32)
#if defined(VEXMO_BUILD)
#define VEXMO_API __declspec(dllexport)
#else
#define VEXMO_API __declspec(dllimport)
#endif
#else
#define VEXMO_API __attribute__((visibility("default")))
#endif

namespace Vexmo {

// Called once, before any other call into the library.
VEXMO_API void Initialize(int applicationType, const char* name, const char* version,
                          const char* edition, const char* locale, bool trial);

namespace Feature {
VEXMO_API bool Audio51();
}

// Library-owned NUL-terminated texts; copy them, never free them.
VEXMO_API const char* GetApplicationName();
VEXMO_API const char* GetApplicationVersion();
VEXMO_API const char* GetApplicationBuild();

}  // namespace Vexmo
