// Started by a crashing launcher (see platform/crash_host_posix.cpp): stops
// the crashed process's other threads, loads the registered crash handler
// module and hands it the crashed process; then holds the threads stopped
// until the process dies.
#include <crashhost/exception_information.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>

#include "crash_host_arguments.h"
#include "thread_freezer.h"

namespace {

struct ModuleCloser {
  void operator()(void* module) const { dlclose(module); }
};
using LoadedModule = std::unique_ptr<void, ModuleCloser>;

constexpr std::chrono::seconds kWaitForGo{2};
constexpr std::chrono::milliseconds kFreezeLimit{500};
constexpr int kHoldMilliseconds = 10'000;

// The channel to the crashed process, when it started us; by hand there is
// none and nothing is waited for.
class Channel {
 public:
  Channel() : open_(fcntl(kCrashHostChannel, F_SETFD, FD_CLOEXEC) == 0) {}

  // Until the process has let us trace it.
  bool AwaitGo() const {
    if (!open_) return true;
    pollfd wait{kCrashHostChannel, POLLIN, 0};
    const int timeout = static_cast<int>(std::chrono::milliseconds(kWaitForGo).count());
    int ready = 0;
    do {
      ready = poll(&wait, 1, timeout);
    } while (ready < 0 && errno == EINTR);
    char word = 0;
    return ready == 1 && read(kCrashHostChannel, &word, 1) == 1 && word == kCrashHostGo;
  }

  void SayDone() const {
    if (!open_) return;
    const char done = kCrashHostDone;
    while (send(kCrashHostChannel, &done, 1, MSG_NOSIGNAL) < 0 && errno == EINTR) {
    }
  }

  // Until the process closes its end or dies; its threads stay stopped
  // while we live.
  void Hold() const {
    if (!open_) return;
    pollfd wait{kCrashHostChannel, POLLIN, 0};
    while (poll(&wait, 1, kHoldMilliseconds) < 0 && errno == EINTR) {
    }
  }

 private:
  bool open_;
};

}  // namespace

int main(int argc, char** argv) {
  // Nothing of a crash outlives the crashed thread that started us.
  prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
  const auto request = crashhost::ParseCrashHostArguments(argc, argv);
  if (!request) {
    std::fprintf(stderr,
                 "%s: started with malformed arguments; it is started by a crashing process\n",
                 kCrashHostFileName);
    return kCrashHostExitBadArguments;
  }
  const Channel channel;
  if (!channel.AwaitGo() || getppid() != request->information.processId) {
    return kCrashHostExitProcessGone;
  }
  crashhost::CrashHostRequest held = *request;
  const crashhost::ThreadFreezer frozen(request->information.processId,
                                        request->information.threadId,
                                        std::chrono::steady_clock::now() + kFreezeLimit);
  held.information.flags |= kCrashThreadsHeld;

  const LoadedModule module(dlopen(request->modulePath.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!module) {
    std::fprintf(stderr, "%s: cannot load %s: %s\n", kCrashHostFileName,
                 request->modulePath.c_str(), dlerror());
    return kCrashHostExitNoModule;
  }
  const auto callback =
      reinterpret_cast<CrashEventCallback>(dlsym(module.get(), kCrashEventCallbackName));
  if (callback == nullptr) {
    std::fprintf(stderr, "%s: %s has no %s\n", kCrashHostFileName, request->modulePath.c_str(),
                 kCrashEventCallbackName);
    return kCrashHostExitNoModule;
  }

  std::int32_t claimed = 0;
  char16_t eventName[64] = {};
  std::uint32_t eventNameSize = sizeof(eventName) / sizeof(eventName[0]);
  std::uint32_t signatureCount = 0;
  const std::int32_t result =
      callback(reinterpret_cast<void*>(static_cast<std::uintptr_t>(held.context)),
               &held.information, &claimed, eventName, &eventNameSize, &signatureCount);
  if (result < 0) return kCrashHostExitModuleFailed;
  channel.SayDone();
  channel.Hold();
  return 0;
}
