#include "prefetch/worker/file_reader.h"

#include <cerrno>
#include <exception>
#include <fstream>
#include <new>
#include <ostream>

namespace SpeedLauncher {
namespace {

// A buffer that cannot be had skips the file like any other failure to read
// it, instead of ending the whole prefetch.
char* TakeBuffer(ReadBufferSource& buffers, std::ostream& errors) {
  try {
    return buffers.Take();
  } catch (const std::bad_alloc& error) {
    errors << error.what() << std::flush;
    return nullptr;
  }
}

void ReadToEnd(std::ifstream& file, char* buffer, const CancelCheck& cancelled,
               ReadReport& report) {
  while (!file.eof() && !file.fail()) {
    if (cancelled()) {
      report.cancelled = true;
      return;
    }
    file.read(buffer, static_cast<std::streamsize>(kReadBufferSize));
    report.bytes += static_cast<std::uint64_t>(file.gcount());
  }
}

}  // namespace

ReadReport ReadWholeFile(const std::string& path, ReadBufferSource& buffers,
                         const CancelCheck& cancelled, std::ostream& out, std::ostream& errors) {
  ReadReport report;
  std::ifstream file(path, std::ios::in | std::ios::binary);
  if (!file.is_open()) {
    report.openError = errno;
    return report;
  }
  char* const buffer = TakeBuffer(buffers, errors);
  if (buffer == nullptr) return report;
  report.opened = true;
  try {
    out << "Reading :" << path << std::endl;
    ReadToEnd(file, buffer, cancelled, report);
    file.close();
  } catch (const std::exception& error) {
    errors << error.what() << std::flush;
  } catch (...) {
    // Not a standard exception: nothing to say about it.
  }
  return report;
}

}  // namespace SpeedLauncher
