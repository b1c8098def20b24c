#include <atomic>
#include <cstddef>
#include <new>
#include <thread>

#include "vantilcore/allocator.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sched.h>
#endif

namespace vantilcore::allocator {
namespace {

constexpr std::size_t kGranule = 16;
constexpr std::size_t kLargestSmallBlock = 512;
constexpr std::size_t kClassCount = kLargestSmallBlock / kGranule;
constexpr std::size_t kChunkBytes = 64 * 1024;
// Each class has this many pools, so that threads allocating at once need
// not share a lock or a line.
constexpr unsigned kPools = 8;

struct FreeBlock {
  FreeBlock* next;
};

// Chunks are chained from their arena so that they stay reachable for the
// process lifetime; the header keeps the blocks behind it 16-byte aligned.
struct alignas(kGranule) ChunkHeader {
  ChunkHeader* previous;
};

// Constant-initialised and trivially destructible: usable from static
// constructors and destructors of any other module. The free list is
// atomic only so that other threads may peek at it without the lock.
struct alignas(64) Pool {
  std::atomic_flag busy = ATOMIC_FLAG_INIT;
  std::atomic<FreeBlock*> freeList{nullptr};
};
static_assert(sizeof(Pool) == 64, "one pool per cache line");

// New blocks of every class are carved from one arena per processor, so
// that a program using many classes a little touches few pages.
struct alignas(64) Arena {
  std::atomic_flag busy = ATOMIC_FLAG_INIT;
  ChunkHeader* chunks = nullptr;
  std::byte* cursor = nullptr;  // uncarved rest of the newest chunk
  std::byte* end = nullptr;
};
static_assert(sizeof(Arena) == 64, "one arena per cache line");

constinit Pool pools[kClassCount][kPools];
constinit Arena arenas[kPools];

// Threads running at once run on different processors, so the processor
// number keeps them on different pools; asking for it costs a memory read.
unsigned CurrentPool() {
#if defined(_WIN32)
  return static_cast<unsigned>(GetCurrentProcessorNumber()) % kPools;
#else
  const int cpu = sched_getcpu();
  return cpu < 0 ? 0 : static_cast<unsigned>(cpu) % kPools;
#endif
}

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

FreeBlock* Pop(Pool& pool) {
  FreeBlock* block = pool.freeList.load(std::memory_order_relaxed);
  if (block != nullptr) pool.freeList.store(block->next, std::memory_order_relaxed);
  return block;
}

// Blocks one thread allocates and another frees gather in the pool of the
// freeing processor; an empty pool takes such a list whole before it carves
// new storage, so that memory does not grow with every hand-over.
FreeBlock* StealList(std::size_t classIndex, unsigned own) {
  for (unsigned step = 1; step < kPools; ++step) {
    Pool& other = pools[classIndex][(own + step) % kPools];
    if (other.freeList.load(std::memory_order_relaxed) == nullptr) continue;
    if (other.busy.test_and_set(std::memory_order_acquire)) continue;
    FreeBlock* list = other.freeList.exchange(nullptr, std::memory_order_relaxed);
    other.busy.clear(std::memory_order_release);
    if (list != nullptr) return list;
  }
  return nullptr;
}

// The rest of a chunk too short for a block is left unused.
void* Carve(Arena& arena, std::size_t blockBytes) {
  const SpinGuard guard(arena.busy);
  if (static_cast<std::size_t>(arena.end - arena.cursor) < blockBytes) {
    auto* chunk = static_cast<ChunkHeader*>(::operator new(kChunkBytes));
    chunk->previous = arena.chunks;
    arena.chunks = chunk;
    arena.cursor = reinterpret_cast<std::byte*>(chunk) + sizeof(ChunkHeader);
    arena.end = reinterpret_cast<std::byte*>(chunk) + kChunkBytes;
  }
  void* block = arena.cursor;
  arena.cursor += blockBytes;
  return block;
}

void* TakeBlock(std::size_t classIndex, std::size_t blockBytes) {
  const unsigned own = CurrentPool();
  Pool& pool = pools[classIndex][own];
  const SpinGuard guard(pool.busy);
  if (FreeBlock* block = Pop(pool)) return block;
  if (FreeBlock* list = StealList(classIndex, own)) {
    pool.freeList.store(list->next, std::memory_order_relaxed);
    return list;
  }
  return Carve(arenas[own], blockBytes);
}

}  // namespace

void* SmallBlockAllocator::Allocate(std::size_t bytes) {
  if (bytes > kLargestSmallBlock) return ::operator new(bytes);
  const std::size_t index = ClassIndex(bytes);
  return TakeBlock(index, (index + 1) * kGranule);
}

void SmallBlockAllocator::Dispose(void* block, std::size_t bytes) {
  if (block == nullptr) return;
  if (bytes > kLargestSmallBlock) {
    ::operator delete(block);
    return;
  }
  Pool& pool = pools[ClassIndex(bytes)][CurrentPool()];
  const SpinGuard guard(pool.busy);
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = pool.freeList.load(std::memory_order_relaxed);
  pool.freeList.store(freed, std::memory_order_relaxed);
}

}  // namespace vantilcore::allocator
