#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// One line built in a fixed buffer and written with a single write(2): all
// of it is safe in a signal handler. What does not fit is cut.
class CrashNotice {
 public:
  CrashNotice& Text(const char* text);
  CrashNotice& Decimal(long long value);
  CrashNotice& Address(std::uintptr_t value);
  // "SIGSEGV (Segmentation fault)", from the C library's constant tables.
  CrashNotice& Signal(int signal);
  // The system's text for an error number, from the same tables.
  CrashNotice& Error(int error);
  // "<program>: <signal>: " to begin the line.
  CrashNotice& Start(int signal);
  // Ends the line and writes it to standard error.
  void Write();

 private:
  static constexpr std::size_t kCapacity = 1024;
  char text_[kCapacity] = {};
  std::size_t length_ = 0;
};

// Number texts for a command line: "-123", "0x7ffd1234".
void FormatDecimal(long long value, char (&out)[24]);
void FormatAddress(std::uintptr_t value, char (&out)[24]);

}  // namespace platform
