#include <stdio.h>
#include <wchar.h>

#include <filesystem>
#include <fstream>

#include "platform/file_open.h"
#include "platform/utf_common.h"

namespace platform {

std::FILE* _wfopen(const char16_t* path, const char16_t* mode) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return ::_wfopen(reinterpret_cast<const wchar_t*>(path), reinterpret_cast<const wchar_t*>(mode));
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(Utf8ToUtf16(path).c_str(), Utf8ToUtf16(mode).c_str());
}

void OpenFileStream(std::ifstream& stream, const std::u16string& path, std::ios::openmode mode) {
  stream.open(std::filesystem::path(std::wstring(path.begin(), path.end())), mode);
}

}  // namespace platform
