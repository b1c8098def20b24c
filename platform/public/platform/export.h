#pragma once

// The layer is one shared library per process, so that its state (the last
// error above all) is the same for every module that calls it.
#if defined(_WIN32)
#if defined(PELLICOR_PLATFORM_BUILD)
#define PLATFORM_API __declspec(dllexport)
#else
#define PLATFORM_API __declspec(dllimport)
#endif
#else
#define PLATFORM_API __attribute__((visibility("default")))
#endif
