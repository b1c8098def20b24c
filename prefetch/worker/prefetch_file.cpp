#include <fstream>
#include <iostream>
#include <memory>
#include <new>

#include "prefetch/worker/cancel_flag.h"
#include "prefetch/worker/prefetch_worker.h"

namespace SpeedLauncher {
namespace {

constexpr std::streamsize kReadBufferSize = 16 * 1024 * 1024;

// One buffer per file; nothing ever looks at what is read into it.
std::unique_ptr<char[]> AllocateReadBuffer() {
  try {
    return std::make_unique_for_overwrite<char[]>(kReadBufferSize);
  } catch (const std::bad_alloc& error) {
    std::cerr << error.what();
    return nullptr;
  }
}

void ReadToEnd(std::ifstream& file, char* buffer, const std::string& path) {
  try {
    std::cout << "Reading :" << path << std::endl;
    while (!file.eof() && !file.fail()) {
      if (CancelRequested()) return;
      file.read(buffer, kReadBufferSize);
    }
    file.close();
  } catch (const std::exception& error) {
    std::cerr << error.what();
  } catch (...) {
    // Not ours to report; the walk goes on with the next item.
  }
}

}  // namespace

void PrefetchFile(const std::string& path) {
  std::ifstream file(path, std::ios::in | std::ios::binary);
  if (!file.is_open()) return;
  // Without a buffer the file is skipped rather than stopping the launch.
  const std::unique_ptr<char[]> buffer = AllocateReadBuffer();
  if (!buffer) return;
  ReadToEnd(file, buffer.get(), path);
}

}  // namespace SpeedLauncher
