#include "platform/processor.h"

#if defined(__x86_64__) && __has_include(<sys/platform/x86.h>)
// The header is written for C, and for g++, which takes C's _Bool.
#if defined(__clang__)
#define _Bool bool
#endif
#include <sys/platform/x86.h>
#if defined(__clang__)
#undef _Bool
#endif
#define PELLICOR_CPU_FEATURES_FROM_LIBC 1
#endif

namespace platform {

bool IsProcessorFeaturePresent(std::uint32_t feature) {
  if (feature != kPfXmmiInstructionsAvailable) return false;
#if defined(PELLICOR_CPU_FEATURES_FROM_LIBC)
  // The C library asked the processor once at load time. Asking it again,
  // directly or through the compiler's feature table, traps to the
  // hypervisor on virtual machines, and that table is filled at load time
  // in every process that links it, whether it asks or not.
  return CPU_FEATURE_ACTIVE(SSE);
#elif defined(__x86_64__) || defined(__i386__)
  return __builtin_cpu_supports("sse") != 0;
#else
  return false;
#endif
}

}  // namespace platform
