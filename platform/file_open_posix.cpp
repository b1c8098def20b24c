// Paths are UTF-8 on disk.
#include <cstdio>
#include <fstream>

#include "platform/file_open.h"
#include "platform/utf_common.h"

namespace platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::FILE* _wfopen(const char16_t* path, const char16_t* mode) {
  if (path == nullptr || mode == nullptr) return nullptr;
  return std::fopen(Utf16ToUtf8(path).c_str(), Utf16ToUtf8(mode).c_str());
}

std::FILE* OpenTemporaryFile() { return std::tmpfile(); }

void OpenFileStream(std::ifstream& stream, const std::u16string& path, std::ios::openmode mode) {
  stream.open(Utf16ToUtf8(path), mode);
}

}  // namespace platform
