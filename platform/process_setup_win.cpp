#include <windows.h>

#include "platform/process_setup.h"

namespace platform {

static_assert(kSemFailCriticalErrors == SEM_FAILCRITICALERRORS);
static_assert(kHeapCompatibilityInformation == HeapCompatibilityInformation);
static_assert(kSwShowDefault == SW_SHOWDEFAULT);

std::uint32_t SetErrorMode(std::uint32_t mode) { return ::SetErrorMode(mode); }

HeapHandle GetProcessHeap() { return ::GetProcessHeap(); }

bool HeapSetInformation(HeapHandle heap, int informationClass, void* information,
                        std::size_t length) {
  return ::HeapSetInformation(heap, static_cast<HEAP_INFORMATION_CLASS>(informationClass),
                              information, length) != FALSE;
}

}  // namespace platform
