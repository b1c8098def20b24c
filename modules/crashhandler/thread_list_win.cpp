#include "thread_list_win.h"

// After <windows.h>, which it needs.
#include <tlhelp32.h>

#include <algorithm>
#include <memory>

#include "platform/utf_common.h"

namespace crashhandler {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A thread held still while it is read, and let go after.
class SuspendedThread {
 public:
  explicit SuspendedThread(DWORD id)
      : id_(id),
        handle_(OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION,
                           FALSE, id)) {
    if (handle_) suspended_ = SuspendThread(handle_.get()) != static_cast<DWORD>(-1);
    if (!handle_)
      problem_ = "not opened: error " + std::to_string(GetLastError());
    else if (!suspended_)
      problem_ = "not suspended: error " + std::to_string(GetLastError());
  }
  ~SuspendedThread() {
    if (suspended_) ResumeThread(handle_.get());
  }
  SuspendedThread(const SuspendedThread&) = delete;
  SuspendedThread& operator=(const SuspendedThread&) = delete;

  ThreadStack Read(StackWalker& walker, const SnapshotLimits& limits) const {
    ThreadStack stack;
    stack.threadId = id_;
    if (!suspended_) {
      stack.problem = problem_;
      return stack;
    }
    CONTEXT context{};
    context.ContextFlags = CONTEXT_FULL;
    if (!GetThreadContext(handle_.get(), &context)) {
      stack.problem = "registers unreadable: error " + std::to_string(GetLastError());
      return stack;
    }
    stack = walker.Walk(handle_.get(), context, limits);
    stack.threadId = id_;
    stack.name = ThreadName(handle_.get());
    return stack;
  }

 private:
  DWORD id_;
  Handle handle_;
  bool suspended_ = false;
  std::string problem_;
};

std::vector<DWORD> ThreadIds(DWORD process, std::vector<std::string>& problems) {
  std::vector<DWORD> ids;
  const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) {
    problems.push_back("the thread list: error " + std::to_string(GetLastError()));
    return ids;
  }
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more;
       more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == process) ids.push_back(entry.th32ThreadID);
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace

// From Windows 10 on; looked up, so that older systems still load the module.
std::string ThreadName(HANDLE thread) {
  using Describe = HRESULT(WINAPI*)(HANDLE, PWSTR*);
  const auto describe = reinterpret_cast<Describe>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
  PWSTR text = nullptr;
  if (describe == nullptr || FAILED(describe(thread, &text)) || text == nullptr) {
    return std::string();
  }
  const std::string name = platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
  LocalFree(text);
  return name;
}

std::vector<ThreadStack> OtherThreadStacks(HANDLE process, DWORD crashedThread, StackWalker& walker,
                                           const SnapshotLimits& limits,
                                           std::vector<std::string>& problems) {
  std::vector<DWORD> ids = ThreadIds(GetProcessId(process), problems);
  ids.erase(std::remove(ids.begin(), ids.end(), crashedThread), ids.end());
  const std::size_t room = limits.threads > 0 ? limits.threads - 1 : 0;
  if (ids.size() > room) {
    problems.push_back(std::to_string(ids.size() - room) + " more threads");
    ids.resize(room);
  }
  std::vector<std::unique_ptr<SuspendedThread>> threads;
  for (DWORD id : ids) threads.push_back(std::make_unique<SuspendedThread>(id));
  std::vector<ThreadStack> stacks;
  for (const auto& thread : threads) stacks.push_back(thread->Read(walker, limits));
  return stacks;
}

}  // namespace crashhandler
