#include <windows.h>

#include "platform/page_cache.h"

// Windows lets no ordinary program ask which pages of a file it caches, nor
// drop them.
namespace platform {

bool PageCacheAvailable() { return false; }

bool MeasureResidency(const std::string&, Residency& residency, int& error) {
  residency = {};
  error = ERROR_NOT_SUPPORTED;
  return false;
}

bool DropFromCache(const std::string&, int& error) {
  error = ERROR_NOT_SUPPORTED;
  return false;
}

}  // namespace platform
