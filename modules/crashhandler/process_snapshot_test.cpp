#include "process_snapshot.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <thread>

#include "process_snapshot_posix.h"

namespace crashhandler {
namespace {

int reportPipe = -1;

void SendAddress(std::uint64_t address) {
  if (write(reportPipe, &address, sizeof address) != sizeof address) _exit(1);
}

[[noreturn]] __attribute__((noinline)) void WaitInSnapshotChild() {
  for (;;) pause();
}

void OnUser1(int, siginfo_t*, void* machineContext) {
  SendAddress(reinterpret_cast<std::uintptr_t>(machineContext));
  WaitInSnapshotChild();
}

__attribute__((noinline)) void RaiseInSnapshotChild() {
  raise(SIGUSR1);
  asm volatile("" ::: "memory");  // not a tail call: this frame stays
}

// A child with a second thread; its main thread either waits (context 0
// sent) or raises SIGUSR1 and sends the handler's machine context.
class SnapshotChild {
 public:
  explicit SnapshotChild(bool raise) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      reportPipe = fds[1];
      std::thread([] { WaitInSnapshotChild(); }).detach();
      if (!raise) {
        SendAddress(0);
        WaitInSnapshotChild();
      }
      struct sigaction action {};
      action.sa_sigaction = OnUser1;
      action.sa_flags = SA_SIGINFO;
      sigaction(SIGUSR1, &action, nullptr);
      RaiseInSnapshotChild();
      _exit(0);
    }
    close(fds[1]);
    if (read(fds[0], &context_, sizeof context_) != sizeof context_) context_ = 0;
    close(fds[0]);
    // The second thread may still be on its way into its wait.
    usleep(50'000);
  }
  ~SnapshotChild() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  pid_t Pid() const { return pid_; }
  std::uint64_t Context() const { return context_; }

 private:
  pid_t pid_ = -1;
  std::uint64_t context_ = 0;
};

bool HasFunction(const ThreadStack& thread, const std::string& name) {
  for (const StackFrame& frame : thread.frames) {
    if (frame.function.find(name) != std::string::npos) return true;
  }
  return false;
}

TEST(ProcessSnapshot, EveryThreadWithFramesSymbolsAndModules) {
  SnapshotChild child(false);
  ASSERT_GT(child.Pid(), 0);
  const ProcessSnapshot snapshot = TakeProcessSnapshot(child.Pid(), child.Pid(), 0, {});
  ASSERT_EQ(snapshot.threads.size(), 2u) << FormatProcessSnapshot(snapshot);
  EXPECT_EQ(snapshot.threads[0].threadId, child.Pid());
  EXPECT_TRUE(snapshot.threads[0].crashed);
  EXPECT_FALSE(snapshot.threads[1].crashed);
  for (const ThreadStack& thread : snapshot.threads) {
    EXPECT_TRUE(HasFunction(thread, "WaitInSnapshotChild")) << FormatProcessSnapshot(snapshot);
    EXPECT_EQ(thread.frames[0].module.find("libc"), 0u) << FormatProcessSnapshot(snapshot);
  }
  // Without the machine context the registers at the fault are unknown.
  EXPECT_TRUE(snapshot.registers.empty());
  bool ownModule = false;
  for (const ModuleRange& module : snapshot.modules) {
    if (module.path.find("crash_handler_test") == std::string::npos) continue;
    ownModule = true;
    EXPECT_LT(module.start, module.end);
    EXPECT_GE(module.buildId.size(), 16u);
  }
  EXPECT_TRUE(ownModule) << FormatProcessSnapshot(snapshot);
}

TEST(ProcessSnapshot, CrashedThreadStartsAtTheFault) {
  SnapshotChild child(true);
  ASSERT_NE(child.Context(), 0u);
  const ProcessSnapshot snapshot =
      TakeProcessSnapshot(child.Pid(), child.Pid(), child.Context(), {});
  const std::string text = FormatProcessSnapshot(snapshot);
  ASSERT_FALSE(snapshot.threads.empty()) << text;
  const ThreadStack& crashed = snapshot.threads[0];
  ASSERT_FALSE(crashed.frames.empty()) << text;
  EXPECT_TRUE(HasFunction(crashed, "RaiseInSnapshotChild")) << text;
  EXPECT_FALSE(HasFunction(crashed, "OnUser1")) << text;  // not the handler's frames
  ASSERT_EQ(snapshot.registers.size(), 18u);
  EXPECT_EQ(snapshot.registers[16].name, "rip");
  EXPECT_EQ(snapshot.registers[16].value, crashed.frames[0].address);
}

TEST(ProcessSnapshot, WorkIsBounded) {
  SnapshotChild child(false);
  SnapshotLimits limits;
  limits.threads = 1;
  limits.frames = 2;
  limits.outermostFrames = 1;
  const ProcessSnapshot snapshot = TakeProcessSnapshot(child.Pid(), child.Pid(), 0, limits);
  ASSERT_EQ(snapshot.threads.size(), 1u);
  const ThreadStack& thread = snapshot.threads[0];
  EXPECT_GE(thread.frames.size(), 2u);  // inlined calls count with their frame
  EXPECT_EQ(thread.outermostFrames.size(), 1u);
  EXPECT_GT(thread.omittedFrames, 0u) << FormatProcessSnapshot(snapshot);
  EXPECT_NE(thread.outermostFrames[0].function.find("_start"), std::string::npos)
      << FormatProcessSnapshot(snapshot);
  ASSERT_FALSE(snapshot.problems.empty());
  EXPECT_EQ(snapshot.problems.back(), "1 more threads, not shown");
}

TEST(ProcessSnapshot, GoneProcessSaysWhatWasNotRead) {
  pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const ProcessSnapshot snapshot = TakeProcessSnapshot(gone, gone, 0x1000, {});
  EXPECT_TRUE(snapshot.modules.empty());
  EXPECT_GE(snapshot.problems.size(), 2u) << FormatProcessSnapshot(snapshot);
}

TEST(ProcessSnapshot, FormatShowsFramesRegistersModulesAndProblems) {
  ProcessSnapshot snapshot;
  ThreadStack crashed;
  crashed.threadId = 7;
  crashed.name = "Pellicor";
  crashed.crashed = true;
  StackFrame inlined{0x5000, "Stoven.dll", 0x1139, "Crash()", 0, "~/src/stoven.cpp", 50};
  inlined.inlined = true;
  crashed.frames.push_back(inlined);
  crashed.frames.push_back({0x5000, "Stoven.dll", 0x1139, "Run", 0x19, "~/src/stoven.cpp", 98});
  crashed.frames.push_back({0x9000, "", 0, "", 0, "", 0});
  crashed.omittedFrames = 300;
  crashed.outermostFrames.push_back({0x7000, "Pellicor", 0x10, "_start", 0x21, "", 0});
  ThreadStack other;
  other.threadId = 8;
  StackFrame signalReturn{0x6000, "libc\n.so.6", 0x20, "", 0, "", 0};
  signalReturn.signalFrame = true;
  other.frames.push_back(signalReturn);
  other.problem = "unwinding stopped: no CFI";
  snapshot.threads = {crashed, other};
  snapshot.registers = {{"rax", 1}, {"rdx", 2}};
  snapshot.modules.push_back({0x4000, 0x8000, "~/Pellicor/Stoven.dll", "ab12"});
  snapshot.modules.push_back({0xa000, 0xb000, "[vdso]", ""});
  snapshot.problems.push_back("3 more threads, not shown");
  EXPECT_EQ(FormatProcessSnapshot(snapshot),
            "\nThread 7 \"Pellicor\" (crashed):\n"
            "  #0  0x0000000000005000  Stoven.dll+0x1139  Crash()  ~/src/stoven.cpp:50  (inlined)\n"
            "  #1  0x0000000000005000  Stoven.dll+0x1139  Run+0x19  ~/src/stoven.cpp:98\n"
            "  #2  0x0000000000009000  (no module)\n"
            "  ... 300 frames not shown ...\n"
            "  #303 0x0000000000007000  Pellicor+0x10  _start+0x21\n"
            "\nThread 8:\n"
            "  #0  0x0000000000006000  libc?.so.6+0x20  (signal handler called)\n"
            "  (unwinding stopped: no CFI)\n"
            "\nRegisters of thread 7 at the fault:\n"
            "  rax    0x0000000000000001  rdx    0x0000000000000002\n"
            "\nModules:\n"
            "  0x0000000000004000-0x0000000000008000  ~/Pellicor/Stoven.dll  build id ab12\n"
            "  0x000000000000a000-0x000000000000b000  [vdso]  (no build id)\n"
            "\nNot read: 3 more threads, not shown\n");
}

}  // namespace
}  // namespace crashhandler
