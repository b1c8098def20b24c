#include "application_identity_win.h"

#include <windows.h>
// After <windows.h>, which they need.
#include <psapi.h>
#include <winver.h>

#include <cstdio>
#include <vector>

#include "platform/utf_common.h"

namespace crashhandler {
namespace {

constexpr DWORD kMaxPathUnits = 32768;

// A text of the resource's first language, as UTF-8; empty when missing.
std::string VersionText(std::vector<unsigned char>& data, const wchar_t* name) {
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &length) ||
      translation == nullptr || length < sizeof *translation) {
    return std::string();
  }
  wchar_t query[96];
  std::swprintf(query, sizeof query / sizeof *query, L"\\StringFileInfo\\%04x%04x\\%ls",
                translation->language, translation->codePage, name);
  wchar_t* text = nullptr;
  if (!VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&text), &length) ||
      text == nullptr || length == 0) {
    return std::string();
  }
  std::u16string wide(reinterpret_cast<const char16_t*>(text), length);
  while (!wide.empty() && wide.back() == u'\0') wide.pop_back();
  return platform::Utf16ToUtf8(wide);
}

}  // namespace

std::string ApplicationIdentity(void* process) {
  std::vector<wchar_t> path(kMaxPathUnits);
  const DWORD length =
      GetModuleFileNameExW(process, nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return std::string();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.data(), &ignored);
  if (size == 0) return std::string();
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.data(), 0, size, data.data())) return std::string();
  const std::string name = VersionText(data, L"ProductName");
  const std::string version = VersionText(data, L"ProductVersion");
  const std::string build = VersionText(data, L"Build");
  if (name.empty() || version.empty()) return std::string();
  return name + " " + version + (build.empty() ? "" : " (build " + build + ")");
}

}  // namespace crashhandler
