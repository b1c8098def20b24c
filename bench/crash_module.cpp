// An application module for timing crash reports: "Run" starts threads that
// wait, prints the wall-clock time in microseconds and crashes. With
// "--hold" it prints "ready" and waits instead, for timing other tools on
// the same process. "--threads N" counts the main thread too.
#include <Stoven/Run.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <thread>

namespace {

std::uint32_t ThreadCount(const UTF16String& commandLine) {
  const UTF16String option = u"--threads ";
  const auto at = commandLine.find(option);
  std::uint32_t count = 0;
  for (auto i = at == UTF16String::npos ? commandLine.size() : at + option.size();
       i < commandLine.size() && commandLine[i] >= u'0' && commandLine[i] <= u'9'; ++i) {
    count = count * 10 + static_cast<std::uint32_t>(commandLine[i] - u'0');
  }
  return count == 0 ? 1 : count;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) std::int32_t Run(const UTF16String& commandLine,
                                                                   std::int32_t, std::uint32_t) {
  for (std::uint32_t i = 1; i < ThreadCount(commandLine); ++i) {
    std::thread([] {
      for (;;) pause();
    }).detach();
  }
  if (commandLine.find(u"--hold") != UTF16String::npos) {
    std::puts("ready");
    std::fflush(stdout);
    for (;;) pause();
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000);
  std::fflush(stdout);
  volatile std::uint32_t* volatile nowhere = reinterpret_cast<std::uint32_t*>(0x100);
  *nowhere = 1;
  return 0;
}
