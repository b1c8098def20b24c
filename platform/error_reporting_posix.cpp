// Crashes reach the registered modules out of process: a fatal signal starts
// the crash host beside the executable once per registered module, and the
// host loads the module and hands it the context, as Windows Error
// Reporting does with runtime exception modules.
#include <sys/prctl.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "crash_host_posix.h"
#include "crash_notice_posix.h"
#include "crash_signals_posix.h"
#include "platform/crash_signal_scope.h"
#include "platform/error_reporting.h"
#include "platform/utf_common.h"

namespace platform {
namespace {

// As many modules as Windows accepts per process.
constexpr std::size_t kMaxModules = 8;

constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057u);
constexpr HResult kEAlreadyRegistered = static_cast<HResult>(0x800700B7u);  // ERROR_ALREADY_EXISTS
constexpr HResult kENotRegistered = static_cast<HResult>(0x80070490u);      // ERROR_NOT_FOUND

struct Slot {
  // Kept by the registering threads under the lock.
  bool used = false;
  std::u16string path;
  void* context = nullptr;
  // Read by the signal handler without a lock. The call's two path buffers
  // are made on the slot's first registration and kept from then on, since
  // a handler may still read them while the module is withdrawn.
  std::atomic<bool> armed{false};
  std::unique_ptr<CrashHostCall> call;
};

struct Registrations {
  std::mutex mutex;
  std::array<Slot, kMaxModules> slots;
  // The handlers stand while a module is registered or a scope lives.
  int scopes = 0;
  std::optional<CrashSignalHandlers> handlers;
};

// Read by the signal handler: whether a module was ever registered.
std::atomic<bool> everRegistered{false};

Registrations& State() {
  static Registrations state;
  return state;
}

void ReportToModules(int signal, siginfo_t* info, void* machineContext) {
  // A process that made itself non-dumpable would keep its host out.
  prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
  const auto& slots = State().slots;
  std::size_t last = slots.size();
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].armed.load(std::memory_order_acquire)) last = i;
  }
  if (last == slots.size()) {
    CrashNotice()
        .Start(signal)
        .Text(everRegistered.load() ? "no crash report: no crash handler is registered: its "
                                      "registration was undone"
                                    : "no crash report: no crash handler is registered: the "
                                      "start-up had not registered it yet, or could not write its "
                                      "registry value")
        .Write();
    return;
  }
  for (std::size_t i = 0; i <= last; ++i) {
    if (slots[i].armed.load(std::memory_order_acquire)) {
      slots[i].call->Run(signal, info, machineContext, i == last);
    }
  }
}

bool AnyRegistered(const Registrations& state) {
  for (const Slot& slot : state.slots) {
    if (slot.used) return true;
  }
  return false;
}

Slot* Find(Registrations& state, const std::u16string& path, void* context) {
  for (Slot& slot : state.slots) {
    if (slot.used && slot.context == context && slot.path == path) return &slot;
  }
  return nullptr;
}

}  // namespace

HResult WerRegisterRuntimeExceptionModule(const char16_t* path, void* context) {
  if (path == nullptr || *path == u'\0') return kEInvalidArg;
  Registrations& state = State();
  const std::lock_guard lock(state.mutex);
  const std::u16string name(path);
  if (Find(state, name, context) != nullptr) return kEAlreadyRegistered;
  Slot* free = nullptr;
  for (Slot& slot : state.slots) {
    if (!slot.used) {
      free = &slot;
      break;
    }
  }
  if (free == nullptr) return kEFail;
  if (!free->call) free->call = std::make_unique<CrashHostCall>();
  if (!free->call->Prepare(CrashHostPath(), Utf16ToUtf8(name), context)) return kEInvalidArg;
  free->used = true;
  free->path = name;
  free->context = context;
  if (!state.handlers) state.handlers.emplace(ReportToModules);
  free->armed.store(true, std::memory_order_release);
  everRegistered.store(true);
  return kSOk;
}

HResult WerUnregisterRuntimeExceptionModule(const char16_t* path, void* context) {
  if (path == nullptr) return kEInvalidArg;
  Registrations& state = State();
  const std::lock_guard lock(state.mutex);
  Slot* slot = Find(state, path, context);
  if (slot == nullptr) return kENotRegistered;
  slot->armed.store(false, std::memory_order_release);
  slot->used = false;
  slot->path.clear();
  slot->context = nullptr;
  if (!AnyRegistered(state) && state.scopes == 0) state.handlers.reset();
  return kSOk;
}

CrashSignalScope::CrashSignalScope() {
  Registrations& state = State();
  const std::lock_guard lock(state.mutex);
  ++state.scopes;
  if (!state.handlers) state.handlers.emplace(ReportToModules);
}

CrashSignalScope::~CrashSignalScope() {
  Registrations& state = State();
  const std::lock_guard lock(state.mutex);
  if (--state.scopes == 0 && !AnyRegistered(state)) state.handlers.reset();
}

}  // namespace platform
