// An application module that crashes the ways the crash handler must
// survive. The command line is one word, then for some a Windows path:
//
//   null-call               calls through a null function pointer
//   threads N               starts N threads named "waiter" that wait, then
//                           writes to 0x100
//   mapped FILE DATAFILE    maps FILE and loads DATAFILE as data, then writes to 0x100
#include <Stoven/Run.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace {

[[noreturn]] __attribute__((noinline)) void WriteNowhere() {
  volatile std::uint32_t* volatile nowhere = reinterpret_cast<std::uint32_t*>(0x100);
  *nowhere = 0xDEADu;
  __builtin_trap();
}

__attribute__((noinline)) void CallNull() {
  void (*volatile function)() = nullptr;
  function();
}

DWORD WINAPI Wait(void* event) {
  using Describe = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  const auto describe = reinterpret_cast<Describe>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
  if (describe != nullptr) describe(GetCurrentThread(), L"waiter");
  WaitForSingleObject(event, INFINITE);
  return 0;
}

std::vector<std::wstring> Words(const UTF16String& commandLine) {
  std::vector<std::wstring> words;
  int count = 0;
  const std::wstring line(commandLine.begin(), commandLine.end());
  wchar_t** split = CommandLineToArgvW(line.c_str(), &count);
  for (int i = 0; split != nullptr && i < count; ++i) words.emplace_back(split[i]);
  LocalFree(split);
  return words;
}

}  // namespace

extern "C" __declspec(dllexport) std::int32_t
    Run(const UTF16String& commandLine, std::int32_t, std::uint32_t) {
  const std::vector<std::wstring> words = Words(commandLine);
  if (words.empty()) return 2;
  if (words[0] == L"null-call") CallNull();
  if (words[0] == L"threads" && words.size() == 2) {
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (int i = std::stoi(words[1]); i > 0; --i) CreateThread(nullptr, 0, Wait, never, 0, nullptr);
    Sleep(500);  // every thread inside its wait
    WriteNowhere();
  }
  if (words[0] == L"mapped" && words.size() == 3) {
    HANDLE file = CreateFileW(words[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    const HMODULE data = LoadLibraryExW(words[2].c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (view == nullptr || data == nullptr) return 3;
    WriteNowhere();
  }
  return 2;
}

static_assert(std::is_same_v<decltype(&Run), StovenRunFunction>);
