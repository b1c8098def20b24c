#include <cstdint>

#include "platform/modules.h"
#include "platform/special_folders.h"
#include "vantilcore/utility.h"

namespace vantilcore::utility {
namespace {

// Far beyond any path a system accepts; stops the loop on a broken module.
constexpr std::uint32_t kLargestBuffer = 1u << 20;

}  // namespace

UTF16String GetModulePath(void* module) {
  UTF16String buffer;
  for (std::uint32_t size = platform::kMaxPath; size <= kLargestBuffer; size *= 2) {
    buffer.resize(size);
    const std::uint32_t written = platform::GetModuleFileNameW(module, buffer.data(), size);
    if (written == 0) return {};
    // A result of size - 1 units may have been cut: try a larger buffer.
    if (written < size - 1) {
      buffer.resize(written);
      return buffer;
    }
  }
  return {};
}

}  // namespace vantilcore::utility
