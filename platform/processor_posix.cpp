#include "platform/processor.h"

namespace platform {

bool IsProcessorFeaturePresent(std::uint32_t feature) {
  if (feature != kPfXmmiInstructionsAvailable) return false;
#if defined(__x86_64__) || defined(__i386__)
  // The runtime has already asked the processor once at load time; asking
  // again with cpuid costs a trap to the hypervisor on virtual machines.
  __builtin_cpu_init();
  return __builtin_cpu_supports("sse") != 0;
#else
  return false;
#endif
}

}  // namespace platform
