#include "crash_notice_posix.h"

#include <errno.h>
#include <string.h>
#include <unistd.h>

namespace platform {

void FormatDecimal(long long value, char (&out)[24]) {
  char digits[24];
  int count = 0;
  unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                           : static_cast<unsigned long long>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  int at = 0;
  if (value < 0) out[at++] = '-';
  while (count > 0) out[at++] = digits[--count];
  out[at] = '\0';
}

void FormatAddress(std::uintptr_t value, char (&out)[24]) {
  static constexpr char kHex[] = "0123456789abcdef";
  char digits[24];
  int count = 0;
  do {
    digits[count++] = kHex[value & 0xF];
    value >>= 4;
  } while (value != 0);
  int at = 0;
  out[at++] = '0';
  out[at++] = 'x';
  while (count > 0) out[at++] = digits[--count];
  out[at] = '\0';
}

CrashNotice& CrashNotice::Text(const char* text) {
  if (text == nullptr) return *this;
  // One byte stays free for the line end.
  while (*text != '\0' && length_ + 1 < kCapacity) text_[length_++] = *text++;
  return *this;
}

CrashNotice& CrashNotice::Decimal(long long value) {
  char digits[24];
  FormatDecimal(value, digits);
  return Text(digits);
}

CrashNotice& CrashNotice::Address(std::uintptr_t value) {
  char digits[24];
  FormatAddress(value, digits);
  return Text(digits);
}

// sigabbrev_np, sigdescr_np and strerrordesc_np look up constant tables and
// touch neither the locale nor the heap, unlike strsignal and strerror.
CrashNotice& CrashNotice::Signal(int signal) {
  const char* name = sigabbrev_np(signal);
  if (name == nullptr) return Text("signal ").Decimal(signal);
  Text("SIG").Text(name);
  if (const char* description = sigdescr_np(signal)) Text(" (").Text(description).Text(")");
  return *this;
}

CrashNotice& CrashNotice::Error(int error) {
  const char* description = strerrordesc_np(error);
  if (description == nullptr) return Text("error ").Decimal(error);
  return Text(description);
}

CrashNotice& CrashNotice::Start(int signal) {
  return Text(program_invocation_short_name).Text(": ").Signal(signal).Text(": ");
}

void CrashNotice::Write() {
  text_[length_++] = '\n';
  const char* at = text_;
  std::size_t left = length_;
  while (left > 0) {
    const ssize_t written = write(STDERR_FILENO, at, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    at += written;
    left -= static_cast<std::size_t>(written);
  }
  length_ = 0;
}

}  // namespace platform
