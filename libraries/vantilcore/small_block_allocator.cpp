#include <atomic>
#include <cstddef>
#include <new>
#include <thread>

#include "vantilcore/allocator.h"

namespace vantilcore::allocator {
namespace {

constexpr std::size_t kGranule = 16;
constexpr std::size_t kLargestSmallBlock = 512;
constexpr std::size_t kClassCount = kLargestSmallBlock / kGranule;
constexpr std::size_t kChunkBytes = 64 * 1024;

struct FreeBlock {
  FreeBlock* next;
};

// Chunks are chained from their class so that they stay reachable for the
// process lifetime; the header keeps the blocks behind it 16-byte aligned.
struct alignas(kGranule) ChunkHeader {
  ChunkHeader* previous;
};

// Constant-initialised and trivially destructible: usable from static
// constructors and destructors of any other module.
struct SizeClass {
  std::atomic_flag busy = ATOMIC_FLAG_INIT;
  FreeBlock* freeList = nullptr;
  ChunkHeader* chunks = nullptr;
  std::byte* cursor = nullptr;  // uncarved rest of the newest chunk
  std::byte* end = nullptr;
};

constinit SizeClass classes[kClassCount];

class SpinGuard {
 public:
  explicit SpinGuard(std::atomic_flag& flag) : flag_(flag) {
    while (flag_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  }
  ~SpinGuard() { flag_.clear(std::memory_order_release); }
  SpinGuard(const SpinGuard&) = delete;
  SpinGuard& operator=(const SpinGuard&) = delete;

 private:
  std::atomic_flag& flag_;
};

// Zero bytes share the smallest class so that every result is disposable.
std::size_t ClassIndex(std::size_t bytes) { return bytes == 0 ? 0 : (bytes - 1) / kGranule; }

void AddChunk(SizeClass& sizeClass) {
  auto* chunk = static_cast<ChunkHeader*>(::operator new(kChunkBytes));
  chunk->previous = sizeClass.chunks;
  sizeClass.chunks = chunk;
  sizeClass.cursor = reinterpret_cast<std::byte*>(chunk) + sizeof(ChunkHeader);
  sizeClass.end = reinterpret_cast<std::byte*>(chunk) + kChunkBytes;
}

void* TakeBlock(SizeClass& sizeClass, std::size_t blockBytes) {
  SpinGuard guard(sizeClass.busy);
  if (FreeBlock* block = sizeClass.freeList) {
    sizeClass.freeList = block->next;
    return block;
  }
  if (static_cast<std::size_t>(sizeClass.end - sizeClass.cursor) < blockBytes) AddChunk(sizeClass);
  void* block = sizeClass.cursor;
  sizeClass.cursor += blockBytes;
  return block;
}

}  // namespace

void* SmallBlockAllocator::Allocate(std::size_t bytes) {
  if (bytes > kLargestSmallBlock) return ::operator new(bytes);
  const std::size_t index = ClassIndex(bytes);
  return TakeBlock(classes[index], (index + 1) * kGranule);
}

void SmallBlockAllocator::Dispose(void* block, std::size_t bytes) {
  if (block == nullptr) return;
  if (bytes > kLargestSmallBlock) {
    ::operator delete(block);
    return;
  }
  SizeClass& sizeClass = classes[ClassIndex(bytes)];
  auto* freed = static_cast<FreeBlock*>(block);
  SpinGuard guard(sizeClass.busy);
  freed->next = sizeClass.freeList;
  sizeClass.freeList = freed;
}

}  // namespace vantilcore::allocator
