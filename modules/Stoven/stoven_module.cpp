// The demo application module: it shows what the launcher handed over and
// answers a few switches that tests and demos use.
#include <Stoven/Run.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <type_traits>

#include "stoven_options.h"
#include "vantilcore/config.h"
#include "vantilcore/string.h"

#if defined(_WIN32)
#define STOVEN_EXPORT extern "C" __declspec(dllexport)
#else
#define STOVEN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

void WriteLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string ToUtf8(const UTF16String& text) {
  const UTF8String utf8 = vantilcore::string::UTF16to8(text);
  return std::string(utf8.begin(), utf8.end());
}

std::string Localized(const char* text) {
  vantilcore::config::Localizer* localizer = vantilcore::config::Localizer::Get();
  UTF16String result;
  if (localizer != nullptr) localizer->GetLocalizedString(result, text);
  return ToUtf8(result);
}

void Localize(const std::string& text) {
  WriteLine("Stoven: localized \"" + Localized(text.c_str()) + "\"");
}

// An invalid write, so crash reporting can be seen at work. A low address
// that is never mapped rather than null: the sanitizers would stop a null
// write before it faults.
[[noreturn]] void Crash() {
  // Both volatile, so the compiler can neither see the address nor drop it.
  volatile std::uint32_t* volatile nowhere = reinterpret_cast<std::uint32_t*>(0x100);
  *nowhere = 0xDEADu;
  __builtin_trap();
}

// Deeper than any stack: each call keeps a buffer the compiler cannot drop.
__attribute__((noinline)) std::uint32_t Recurse(std::uint32_t depth) {
  if (depth == UINT32_MAX) return 0;  // never: the stack ends long before
  volatile char buffer[4096];
  buffer[depth % sizeof buffer] = static_cast<char>(depth);
  return Recurse(depth + 1) + static_cast<std::uint32_t>(buffer[0]);
}

void CrashAs(Stoven::CrashKind kind) {
  switch (kind) {
    case Stoven::CrashKind::kNone:
      return;
    case Stoven::CrashKind::kInvalidWrite:
      Crash();
    case Stoven::CrashKind::kOtherThread:
      std::thread(Crash).join();
      return;
    case Stoven::CrashKind::kAbort:
      std::abort();
    case Stoven::CrashKind::kStackOverflow:
      Recurse(0);
      return;
  }
}

std::string Hex(std::uint32_t value) {
  char digits[9] = {};
  std::snprintf(digits, sizeof(digits), "%08X", static_cast<unsigned>(value));
  return digits;
}

}  // namespace

STOVEN_EXPORT std::int32_t Run(const UTF16String& commandLine, std::int32_t showCommand,
                               std::uint32_t launchCode) {
  WriteLine("Stoven: command line \"" + ToUtf8(commandLine) + "\"");
  WriteLine("Stoven: show " + std::to_string(showCommand) + " code 0x" + Hex(launchCode));
  WriteLine("Stoven: " + Localized("$$$/Stoven/Greeting=Welcome to Harlund Pellicor."));
  const Stoven::Options options = Stoven::ParseOptions(commandLine);
  for (const std::string& text : options.localize) Localize(text);
  CrashAs(options.crash);
  return options.exitCode;
}

static_assert(std::is_same_v<decltype(&Run), StovenRunFunction>);
