#include "prefetch/worker/prefetch_worker.h"

#include <boost/thread/thread.hpp>
#include <iostream>

#include "prefetch/lists/prefetch_lists.h"
#include "prefetch/worker/cancel_flag.h"
#include "prefetch/worker/file_reader.h"
#include "prefetch/worker/list_reader.h"

namespace SpeedLauncher {
namespace {

// The slot Stop waits on. Nothing fills it today; at exit a thread left in
// it is joined rather than detached.
struct WorkerSlot {
  boost::thread thread;

  ~WorkerSlot() {
    if (thread.joinable()) thread.join();
  }
};

WorkerSlot workerSlot;

}  // namespace

std::string_view ListNameReadInMode(std::uint32_t mode) {
  switch (mode) {
    case 1:
      return "marl";
    case 3:
      return "tarn";
    case 5:
      return "pellicor";
    default:
      return {};
  }
}

const PrefetchList* ListReadInMode(const ApplicationLists& lists, std::uint32_t mode) {
  const std::string_view name = ListNameReadInMode(mode);
  return name.empty() ? nullptr : lists.Find(name);
}

bool Start(std::uint32_t mode) {
  if (!LoadLists(mode)) return false;
  const PrefetchList* list = ListReadInMode(ProcessLists(), mode);
  if (list == nullptr) return false;
  return ReadForegroundItems(*list);
}

void Stop() {
  RequestCancel();
  if (workerSlot.thread.joinable()) workerSlot.thread.join();
  workerSlot.thread = boost::thread();
}

bool ReadForegroundItems(const PrefetchList& list) {
  ReadBufferSource buffers;
  return ReadForegroundItemsWith(list, ProcessCancelCheck(), [&buffers](const std::string& path) {
    ReadWholeFile(path, buffers, ProcessCancelCheck(), std::cout, std::cerr);
  });
}

void PrefetchFile(const std::string& path) {
  ReadBufferSource buffers;
  ReadWholeFile(path, buffers, ProcessCancelCheck(), std::cout, std::cerr);
}

}  // namespace SpeedLauncher
