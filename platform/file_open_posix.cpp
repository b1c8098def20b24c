// Paths are UTF-8 on disk.
#include <cstdio>

#include "platform/file_open.h"
#include "platform/utf_common.h"

namespace platform {

std::FILE* _wfopen(const char16_t* path, const char16_t* mode) {
  if (path == nullptr || mode == nullptr) return nullptr;
  return std::fopen(Utf16ToUtf8(path).c_str(), Utf16ToUtf8(mode).c_str());
}

}  // namespace platform
