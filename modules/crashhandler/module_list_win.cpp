#include "module_list_win.h"

#include <windows.h>
// After <windows.h>, which they need.
#include <psapi.h>
#include <winver.h>

#include <algorithm>
#include <cstdio>

#include "crash_report.h"
#include "pe_image.h"
#include "platform/utf_common.h"

namespace crashhandler {
namespace {

constexpr DWORD kMaxModules = 1024;
constexpr DWORD kMaxPathUnits = 32768;

std::string Hex(std::uint64_t value, int width = 0) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*llx", width, static_cast<unsigned long long>(value));
  return text;
}

// An image's size, "   536 KiB" in a column; images are whole pages.
std::string Size(std::uint64_t bytes) {
  char text[32];
  if (bytes < (10u << 20)) {
    std::snprintf(text, sizeof text, "%6llu KiB", static_cast<unsigned long long>(bytes >> 10));
  } else {
    std::snprintf(text, sizeof text, "%6.1f MiB", static_cast<double>(bytes) / (1 << 20));
  }
  return text;
}

std::u16string Wide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

std::wstring ModulePath(HANDLE process, HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameExW(process, module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size() - 1 || path.size() >= kMaxPathUnits) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The file version of the module's file on disk, which the crashed process
// cannot have changed.
std::string FileVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::string();
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::string();
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
      info == nullptr || length < sizeof *info || info->dwSignature != 0xFEEF04BD) {
    return std::string();
  }
  char text[48];
  std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu",
                static_cast<unsigned long>(HIWORD(info->dwFileVersionMS)),
                static_cast<unsigned long>(LOWORD(info->dwFileVersionMS)),
                static_cast<unsigned long>(HIWORD(info->dwFileVersionLS)),
                static_cast<unsigned long>(LOWORD(info->dwFileVersionLS)));
  return text;
}

std::wstring UserProfile() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring profile(buffer, length);
  while (profile.size() > 3 && profile.back() == L'\\') profile.pop_back();
  return profile;
}

// A report may be shared: the user's name in the profile folder is not.
std::string Shown(const std::wstring& path, const std::wstring& profile) {
  if (!profile.empty() && path.size() > profile.size() && path[profile.size()] == L'\\' &&
      CompareStringOrdinal(path.data(), static_cast<int>(profile.size()), profile.data(),
                           static_cast<int>(profile.size()), TRUE) == CSTR_EQUAL) {
    const std::wstring rest = path.substr(profile.size());
    return "%USERPROFILE%" + platform::Utf16ToUtf8(Wide(rest.data(), rest.size()));
  }
  return platform::Utf16ToUtf8(Wide(path.data(), path.size()));
}

std::string FileName(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  return platform::Utf16ToUtf8(Wide(name.data(), name.size()));
}

}  // namespace

ModuleList::ModuleList(void* process, const ProcessMemory& memory) {
  std::vector<HMODULE> handles(kMaxModules);
  DWORD needed = 0;
  if (!EnumProcessModulesEx(process, handles.data(),
                            static_cast<DWORD>(handles.size() * sizeof(HMODULE)), &needed,
                            LIST_MODULES_ALL)) {
    problem_ = "the module list: error " + std::to_string(GetLastError());
    return;
  }
  if (needed / sizeof(HMODULE) > handles.size()) {
    problem_ = std::to_string(needed / sizeof(HMODULE) - handles.size()) + " more modules";
  }
  handles.resize(std::min<std::size_t>(handles.size(), needed / sizeof(HMODULE)));
  const std::wstring profile = UserProfile();
  for (HMODULE handle : handles) {
    MODULEINFO info{};
    if (!GetModuleInformation(process, handle, &info, sizeof info)) continue;
    LoadedModule module;
    module.base = reinterpret_cast<std::uintptr_t>(info.lpBaseOfDll);
    module.size = info.SizeOfImage;
    if (module.size == 0 || !PeImage::IsImage(memory, module.base, module.size)) continue;
    const std::wstring path = ModulePath(process, handle);
    module.name = path.empty() ? "?" : FileName(path);
    module.shown = path.empty() ? "?" : Shown(path, profile);
    if (!path.empty()) module.version = FileVersion(path);
    modules_.push_back(std::move(module));
  }
  std::sort(modules_.begin(), modules_.end(),
            [](const LoadedModule& a, const LoadedModule& b) { return a.base < b.base; });
}

const LoadedModule* ModuleList::Find(std::uint64_t address) const {
  for (const LoadedModule& module : modules_) {
    if (address >= module.base && address - module.base < module.size) return &module;
  }
  return nullptr;
}

std::string ModuleAndOffset(const ModuleList& modules, std::uint64_t address) {
  const LoadedModule* module = modules.Find(address);
  if (module == nullptr) return "unknown";
  return Printable(module->name) + "+" + Hex(address - module->base);
}

std::string FormatModuleList(const ModuleList& modules) {
  std::string text = "\nModules:\n";
  for (const LoadedModule& module : modules.Modules()) {
    text += "  " + Hex(module.base, 16) + "-" + Hex(module.base + module.size, 16) + "  " +
            Size(module.size) + "  " + Printable(module.shown);
    text += module.version.empty() ? "  (no version information)" : "  version " + module.version;
    text += '\n';
  }
  if (!modules.Problem().empty()) text += "  (" + Printable(modules.Problem()) + ")\n";
  return text;
}

}  // namespace crashhandler
