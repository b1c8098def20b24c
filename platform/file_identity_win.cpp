#include <windows.h>

#include "platform/file_identity.h"
#include "platform/utf_common.h"

namespace platform {

// The UTF-8 name reaches Windows in UTF-16, as every path of the tools does.
bool IdentifyFile(const std::string& path, FileIdentity& identity, int& error) {
  const std::u16string wide = Utf8ToUtf16(path);
  const HANDLE file =
      CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = static_cast<int>(GetLastError());
    return false;
  }
  BY_HANDLE_FILE_INFORMATION information{};
  const bool told = GetFileInformationByHandle(file, &information) != 0;
  if (!told) error = static_cast<int>(GetLastError());
  CloseHandle(file);
  if (!told) return false;
  identity = {
      information.dwVolumeSerialNumber,
      (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
  return true;
}

}  // namespace platform
