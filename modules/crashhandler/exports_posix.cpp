// The runtime exception module entry points, called by the crash host.
#include <crashhost/exception_information.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <type_traits>

#include "crash_handler.h"
#include "crash_signature.h"
#include "platform/message_box.h"
#include "platform/utf_common.h"
#include "process_memory_posix.h"
#include "process_snapshot_posix.h"

#define CRASHHANDLER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr std::int32_t kSOk = 0;
constexpr std::int32_t kEFail = static_cast<std::int32_t>(0x80004005u);
constexpr std::int32_t kEInvalidArg = static_cast<std::int32_t>(0x80070057u);

const char* SignalName(int signal) {
  switch (signal) {
    case SIGSEGV:
      return "SIGSEGV";
    case SIGBUS:
      return "SIGBUS";
    case SIGILL:
      return "SIGILL";
    case SIGFPE:
      return "SIGFPE";
    case SIGABRT:
      return "SIGABRT";
    case SIGTRAP:
      return "SIGTRAP";
    default:
      return nullptr;
  }
}

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

// A signal that a process sent (kill, abort, raise) has no fault address:
// the same bytes hold the sender's process and user ids.
std::string Describe(const CrashExceptionInformation& information,
                     const crashhandler::ProcessMemory& memory) {
  std::string text = "signal " + std::to_string(information.signal);
  if (const char* name = SignalName(information.signal)) text += std::string(" (") + name + ")";
  text += ", code " + std::to_string(information.signalCode);
  siginfo_t sent{};
  if (information.signalCode <= 0 && memory.Read(information.signalInfo, &sent, sizeof sent)) {
    text += ", sent by process " + std::to_string(sent.si_pid);
    if (sent.si_pid == information.processId) text += " (itself)";
    text += ", user " + std::to_string(sent.si_uid);
    return text;
  }
  text += ", address " + Hex(information.faultAddress);
  return text;
}

// The crashed thread's frames from the fault outward; none when its stack
// does not start at the fault.
std::string Signature(const crashhandler::ProcessSnapshot& snapshot) {
  if (snapshot.threads.empty() || !snapshot.threads.front().crashed || snapshot.registers.empty()) {
    return std::string();
  }
  return crashhandler::CrashSignature(snapshot.threads.front().frames);
}

// The dialog comes from a process of its own, which outlives the crashed
// one and holds nothing of it: not its standard streams, not the host's
// channel. Its text is on standard error before the crashed process dies,
// as the message box on this system always writes it.
void ShowDetachedDialog(const crashhandler::CrashSettings& settings,
                        const std::optional<std::filesystem::path>& reportFile) {
  if (settings.suppressDialog) {
    crashhandler::ShowCrashDialog(settings, reportFile);
    return;
  }
  const crashhandler::CrashDialogMessage message =
      crashhandler::ComposeCrashDialog(settings, reportFile);
  std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), message.text.c_str());
  std::fflush(stderr);
  const std::u16string caption = platform::Utf8ToUtf16(message.caption);
  const std::u16string text = platform::Utf8ToUtf16(message.text);
  const pid_t dialog = fork();
  if (dialog != 0) return;
  setsid();
  const int nothing = open("/dev/null", O_RDWR);
  for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(nothing, stream);
  close_range(3, ~0u, 0);
  platform::MessageBoxW(nullptr, text.c_str(), caption.c_str(),
                        platform::kMbOk | platform::kMbIconError);
  _exit(0);
}

}  // namespace

CRASHHANDLER_EXPORT std::int32_t OutOfProcessExceptionEventCallback(
    void* context, const CrashExceptionInformation* information, std::int32_t* ownershipClaimed,
    char16_t*, std::uint32_t*, std::uint32_t* signatureCount) {
  if (information == nullptr || information->size < sizeof(CrashExceptionInformation) ||
      ownershipClaimed == nullptr) {
    return kEInvalidArg;
  }
  // The report is ours; nothing is left for the host to report.
  *ownershipClaimed = 0;
  if (signatureCount != nullptr) *signatureCount = 0;
  try {
    const crashhandler::PosixProcessMemory memory(information->processId);
    crashhandler::CrashFacts facts;
    facts.description = Describe(*information, memory);
    facts.processId = static_cast<std::uint32_t>(information->processId);
    facts.time = std::time(nullptr);
    const crashhandler::ProcessSnapshot snapshot = crashhandler::TakeProcessSnapshot(
        information->processId, information->threadId, information->machineContext,
        crashhandler::SnapshotLimits{}, (information->flags & kCrashThreadsHeld) != 0);
    facts.application = snapshot.application;
    facts.signature = Signature(snapshot);
    facts.details = crashhandler::FormatProcessSnapshot(snapshot);
    crashhandler::HandleCrash(memory, reinterpret_cast<std::uintptr_t>(context), facts, nullptr,
                              ShowDetachedDialog);
  } catch (...) {
    return kEFail;
  }
  return kSOk;
}

// Only called for a claimed crash, which this module never claims.
CRASHHANDLER_EXPORT std::int32_t OutOfProcessExceptionEventSignatureCallback(
    void*, const CrashExceptionInformation*, std::uint32_t, char16_t*, std::uint32_t*, char16_t*,
    std::uint32_t*) {
  return kEFail;
}

CRASHHANDLER_EXPORT std::int32_t OutOfProcessExceptionEventDebuggerLaunchCallback(
    void*, const CrashExceptionInformation*, std::int32_t* isCustomDebugger, char16_t*,
    std::uint32_t*, std::int32_t* isDebuggerAutolaunch) {
  if (isCustomDebugger != nullptr) *isCustomDebugger = 0;
  if (isDebuggerAutolaunch != nullptr) *isDebuggerAutolaunch = 0;
  return kSOk;
}

static_assert(std::is_same_v<decltype(&OutOfProcessExceptionEventCallback), CrashEventCallback>);
static_assert(
    std::is_same_v<decltype(&OutOfProcessExceptionEventSignatureCallback), CrashSignatureCallback>);
static_assert(std::is_same_v<decltype(&OutOfProcessExceptionEventDebuggerLaunchCallback),
                             CrashDebuggerLaunchCallback>);
