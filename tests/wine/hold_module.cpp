// An application module whose Run holds the launcher in place, so the suite
// can look at the process from outside while Run is going on. The command
// line is a Windows path P: Run creates P.held, waits until P exists (at
// most a minute), and returns 0; 3 when it gave up waiting.
#include <Stoven/Run.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <type_traits>

namespace {

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

extern "C" __declspec(dllexport) std::int32_t
    Run(const UTF16String& commandLine, std::int32_t, std::uint32_t) {
  const std::wstring release(commandLine.begin(), commandLine.end());
  const std::wstring held = release + L".held";
  HANDLE marker = CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  for (int waited = 0; waited < 60000; waited += 50) {
    if (Exists(release)) return 0;
    Sleep(50);
  }
  return 3;
}

static_assert(std::is_same_v<decltype(&Run), StovenRunFunction>);
