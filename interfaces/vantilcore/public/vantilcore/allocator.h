#pragma once

#include <cstddef>
#include <string>

#include "vantilcore/export.h"

namespace vantilcore::allocator {

// Size-class allocator for the core library's strings. Callers must give a
// block back with the byte count they asked for.
class VANTILCORE_API SmallBlockAllocator {
 public:
  static void* Allocate(std::size_t bytes);
  static void Dispose(void* block, std::size_t bytes);
};

template <class T>
class SBAAllocator {
 public:
  using value_type = T;

  SBAAllocator() noexcept = default;
  template <class U>
  SBAAllocator(const SBAAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) {
    return static_cast<T*>(SmallBlockAllocator::Allocate(count * sizeof(T)));
  }
  void deallocate(T* block, std::size_t count) noexcept {
    SmallBlockAllocator::Dispose(block, count * sizeof(T));
  }

  friend bool operator==(const SBAAllocator&, const SBAAllocator&) noexcept { return true; }
};

}  // namespace vantilcore::allocator

using UTF16String = std::basic_string<char16_t, std::char_traits<char16_t>,
                                      vantilcore::allocator::SBAAllocator<char16_t>>;
using UTF8String = std::basic_string<unsigned char, std::char_traits<unsigned char>,
                                     vantilcore::allocator::SBAAllocator<unsigned char>>;
