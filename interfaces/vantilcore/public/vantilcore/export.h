#pragma once

// Symbols of the core library are exported from its shared object and
// imported by everything else.
#if defined(_WIN32)
#if defined(VANTILCORE_BUILD)
#define VANTILCORE_API __declspec(dllexport)
#else
#define VANTILCORE_API __declspec(dllimport)
#endif
#else
#define VANTILCORE_API __attribute__((visibility("default")))
#endif
