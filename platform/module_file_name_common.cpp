#include "platform/module_file_name_common.h"

#include "platform/last_error.h"
#include "platform/types.h"

namespace platform {

std::uint32_t CopyModuleFileName(const std::u16string& path, char16_t* buffer, std::uint32_t size) {
  if (size == 0 || buffer == nullptr) {
    SetLastErrorCode(kErrorInsufficientBuffer);
    return 0;
  }
  if (path.size() >= size) {
    path.copy(buffer, size - 1);
    buffer[size - 1] = u'\0';
    SetLastErrorCode(kErrorInsufficientBuffer);
    return size;
  }
  path.copy(buffer, path.size());
  buffer[path.size()] = u'\0';
  SetLastErrorCode(kErrorSuccess);
  return static_cast<std::uint32_t>(path.size());
}

}  // namespace platform
