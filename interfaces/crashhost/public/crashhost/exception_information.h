#pragma once

// What the crash host hands a crash handler module about a crashed process
// on POSIX systems, and the three entry points such a module exports. The
// entry points mirror the runtime exception module callbacks of Windows.
#include <cstddef>
#include <cstdint>

inline constexpr const char* kCrashHostFileName = "pellicor-crash-host";

// The crashed process and its host talk over a socket that the host finds
// as this descriptor: the process sends kCrashHostGo once the host may
// trace it, the host kCrashHostDone once the report is written. The host
// holds the process's threads stopped until the process closes its end or
// dies, and dies with the thread that started it.
inline constexpr int kCrashHostChannel = 3;
inline constexpr char kCrashHostGo = 'g';
inline constexpr char kCrashHostDone = 'd';

// How the host ends when there is no report; the crashed process names the
// reason on standard error.
enum CrashHostExit : int {
  kCrashHostExitBadArguments = 2,
  kCrashHostExitNoModule = 3,
  kCrashHostExitModuleFailed = 4,
  kCrashHostExitProcessGone = 5,
};

// CrashExceptionInformation::flags
inline constexpr std::uint32_t kCrashThreadsHeld = 1;  // the caller holds every other thread
                                                       // stopped under ptrace

// Every address is one in the crashed process, not in the host.
struct CrashExceptionInformation {
  std::uint32_t size;  // sizeof(CrashExceptionInformation)
  std::int32_t processId;
  std::int32_t threadId;
  std::int32_t signal;
  std::int32_t signalCode;  // si_code
  std::uint32_t flags;
  std::uint64_t faultAddress;    // si_addr
  std::uint64_t signalInfo;      // the handler's siginfo_t
  std::uint64_t machineContext;  // the handler's ucontext_t
};
static_assert(sizeof(CrashExceptionInformation) == 48);
static_assert(offsetof(CrashExceptionInformation, faultAddress) == 24);

// The host's command line, one value per position; numbers in decimal,
// addresses as 0x and hexadecimal digits.
enum CrashHostArgument : int {
  kCrashHostProgram,
  kCrashHostProcessId,
  kCrashHostThreadId,
  kCrashHostModule,
  kCrashHostContext,
  kCrashHostSignal,
  kCrashHostSignalCode,
  kCrashHostFaultAddress,
  kCrashHostSignalInfo,
  kCrashHostMachineContext,
  kCrashHostArgumentCount
};

inline constexpr const char* kCrashEventCallbackName = "OutOfProcessExceptionEventCallback";
inline constexpr const char* kCrashSignatureCallbackName =
    "OutOfProcessExceptionEventSignatureCallback";
inline constexpr const char* kCrashDebuggerLaunchCallbackName =
    "OutOfProcessExceptionEventDebuggerLaunchCallback";

// HRESULT results, BOOL flags as 32-bit integers, UTF-16 buffers with their
// sizes in units, as on Windows.
using CrashEventCallback = std::int32_t (*)(void* context,
                                            const CrashExceptionInformation* information,
                                            std::int32_t* ownershipClaimed, char16_t* eventName,
                                            std::uint32_t* eventNameSize,
                                            std::uint32_t* signatureCount);
using CrashSignatureCallback = std::int32_t (*)(void* context,
                                                const CrashExceptionInformation* information,
                                                std::uint32_t index, char16_t* name,
                                                std::uint32_t* nameSize, char16_t* value,
                                                std::uint32_t* valueSize);
using CrashDebuggerLaunchCallback = std::int32_t (*)(void* context,
                                                     const CrashExceptionInformation* information,
                                                     std::int32_t* isCustomDebugger,
                                                     char16_t* debuggerLaunch,
                                                     std::uint32_t* debuggerLaunchSize,
                                                     std::int32_t* isDebuggerAutolaunch);
