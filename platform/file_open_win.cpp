#include <windows.h>
// After windows.h.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <wchar.h>

#include <cerrno>
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

std::FILE* OpenTemporaryFile() {
  wchar_t folder[MAX_PATH + 1] = {};
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH || GetTempFileNameW(folder, L"lxq", 0, path) == 0) {
    errno = EACCES;
    return nullptr;
  }
  // Made by the name call; reopened to be deleted when closed.
  const HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileW(path);
    errno = EACCES;
    return nullptr;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(file);
    return nullptr;
  }
  std::FILE* stream = _fdopen(descriptor, "w+b");
  if (stream == nullptr) _close(descriptor);
  return stream;
}

void OpenFileStream(std::ifstream& stream, const std::u16string& path, std::ios::openmode mode) {
  stream.open(std::filesystem::path(std::wstring(path.begin(), path.end())), mode);
}

}  // namespace platform
