#include "prefetch/worker/file_reader.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <ostream>
#include <string>

#include "platform/file_open.h"

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

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A C stream without its own buffer reads straight into ours, with the
// system calls a file stream makes, but costs no locale or stream set-up
// per file: a launch reads several.
void ReadToEnd(std::FILE* file, char* buffer, const CancelCheck& cancelled, ReadReport& report) {
  while (!std::feof(file) && !std::ferror(file)) {
    if (cancelled()) {
      report.cancelled = true;
      return;
    }
    report.bytes += std::fread(buffer, 1, kReadBufferSize, file);
  }
}

}  // namespace

ReadReport ReadWholeFile(const std::string& path, ReadBufferSource& buffers,
                         const CancelCheck& cancelled, std::ostream& out, std::ostream& errors) {
  ReadReport report;
  File file(platform::OpenFile(path, "rb"));
  if (!file) {
    report.openError = errno;
    return report;
  }
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  char* const buffer = TakeBuffer(buffers, errors);
  if (buffer == nullptr) return report;
  report.opened = true;
  try {
    // One write of the whole line, then the flush.
    const std::string line = "Reading :" + path + '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size())).flush();
    ReadToEnd(file.get(), buffer, cancelled, report);
    file.reset();
  } catch (const std::exception& error) {
    errors << error.what() << std::flush;
  } catch (...) {
    // Not a standard exception: nothing to say about it.
  }
  return report;
}

}  // namespace SpeedLauncher
