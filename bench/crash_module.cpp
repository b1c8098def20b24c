// An application module for timing crash reports: "Run" starts threads,
// prints the wall-clock time in microseconds and crashes. "--threads N"
// counts the main thread too. With "--stamps FILE" every other thread
// writes the time into its slot of FILE each millisecond, and the main
// thread the time of the fault into slot 0, so that the last sign of life
// after the fault can be read afterwards. With "--hold" it prints "ready"
// and waits instead, for timing other tools on the same process.
#include <Stoven/Run.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

namespace {

std::uint32_t Number(const UTF16String& commandLine, const UTF16String& option) {
  const auto at = commandLine.find(option);
  std::uint32_t count = 0;
  for (auto i = at == UTF16String::npos ? commandLine.size() : at + option.size();
       i < commandLine.size() && commandLine[i] >= u'0' && commandLine[i] <= u'9'; ++i) {
    count = count * 10 + static_cast<std::uint32_t>(commandLine[i] - u'0');
  }
  return count;
}

std::string Text(const UTF16String& commandLine, const UTF16String& option) {
  const auto at = commandLine.find(option);
  std::string text;
  if (at == UTF16String::npos) return text;
  for (auto i = at + option.size(); i < commandLine.size() && commandLine[i] != u' '; ++i) {
    text.push_back(static_cast<char>(commandLine[i]));
  }
  return text;
}

std::int64_t Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

volatile std::int64_t* MapStamps(const std::string& path, std::uint32_t slots) {
  if (path.empty()) return nullptr;
  const int file = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  const auto size = static_cast<off_t>(slots * sizeof(std::int64_t));
  if (file < 0 || ftruncate(file, size) != 0) return nullptr;
  void* mapped =
      mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
  close(file);
  return mapped == MAP_FAILED ? nullptr : static_cast<volatile std::int64_t*>(mapped);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) std::int32_t Run(const UTF16String& commandLine,
                                                                   std::int32_t, std::uint32_t) {
  std::uint32_t threads = Number(commandLine, u"--threads ");
  if (threads == 0) threads = 1;
  volatile std::int64_t* stamps = MapStamps(Text(commandLine, u"--stamps "), threads);
  for (std::uint32_t i = 1; i < threads; ++i) {
    std::thread([stamps, i] {
      for (;;) {
        if (stamps != nullptr) stamps[i] = Now();
        if (stamps != nullptr) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } else {
          pause();
        }
      }
    }).detach();
  }
  if (commandLine.find(u"--hold") != UTF16String::npos) {
    std::puts("ready");
    std::fflush(stdout);
    for (;;) pause();
  }
  // The others have started stamping.
  if (stamps != nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const std::int64_t fault = Now();
  if (stamps != nullptr) stamps[0] = fault;
  std::printf("%lld\n", static_cast<long long>(fault));
  std::fflush(stdout);
  volatile std::uint32_t* volatile nowhere = reinterpret_cast<std::uint32_t*>(0x100);
  *nowhere = 1;
  return 0;
}
