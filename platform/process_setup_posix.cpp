// Linux has no critical-error dialogs and glibc's malloc already keeps
// per-thread arenas: the mode is only remembered and the heap left alone.
#include <atomic>

#include "platform/process_setup.h"

namespace platform {
namespace {

std::atomic<std::uint32_t> errorMode{0};
int processHeap = 0;  // its address is the heap's handle

}  // namespace

std::uint32_t SetErrorMode(std::uint32_t mode) { return errorMode.exchange(mode); }

HeapHandle GetProcessHeap() { return &processHeap; }

bool HeapSetInformation(HeapHandle, int, void*, std::size_t) { return true; }

}  // namespace platform
