// Stands in for the crash host in tests: appends its arguments, one a line,
// to the file named by PELLICOR_PROBE_OUT, then the eight bytes at the
// context address of the crashed process, to show that it may read them,
// after the crashed process's word that it may; then it says it is done.
#include <crashhost/exception_information.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const char* out = std::getenv("PELLICOR_PROBE_OUT");
  if (out == nullptr) return 1;
  std::FILE* file = std::fopen(out, "a");
  if (file == nullptr) return 1;
  for (int i = 0; i < argc; ++i) std::fprintf(file, "%s\n", argv[i]);
  char go = 0;
  if (read(kCrashHostChannel, &go, 1) != 1 || go != kCrashHostGo) std::fprintf(file, "no go\n");
  if (argc == kCrashHostArgumentCount) {
    const pid_t pid = static_cast<pid_t>(std::strtol(argv[kCrashHostProcessId], nullptr, 10));
    const auto address = std::strtoull(argv[kCrashHostContext], nullptr, 16);
    std::uint64_t value = 0;
    iovec local{&value, sizeof value};
    iovec remote{reinterpret_cast<void*>(address), sizeof value};
    if (process_vm_readv(pid, &local, 1, &remote, 1, 0) == sizeof value) {
      std::fprintf(file, "read %llx\n", static_cast<unsigned long long>(value));
    } else {
      std::fprintf(file, "read failed %d\n", errno);
    }
  }
  std::fclose(file);
  const char done = kCrashHostDone;
  return write(kCrashHostChannel, &done, 1) == 1 ? 0 : 1;
}
