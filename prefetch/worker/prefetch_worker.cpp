#include "prefetch/worker/prefetch_worker.h"

#include <boost/thread/thread.hpp>

#include "prefetch/lists/application_lists.h"
#include "prefetch/lists/prefetch_lists.h"
#include "prefetch/worker/cancel_flag.h"

namespace SpeedLauncher {
namespace {

// Nothing puts a thread here; Stop and process exit still wait for one.
struct WorkerSlot {
  boost::thread thread;
  ~WorkerSlot() {
    if (thread.joinable()) thread.join();
  }
};

WorkerSlot& Slot() {
  static WorkerSlot slot;
  return slot;
}

const ApplicationList* ListOfMode(std::uint32_t mode) {
  switch (mode) {
    case 1:
      return &Lists().marl;
    case 3:
      return &Lists().tarn;
    case 5:
      return &Lists().pellicor;
    default:
      return nullptr;
  }
}

}  // namespace

bool Start(std::uint32_t mode) {
  if (!LoadLists(mode)) return false;
  const ApplicationList* list = ListOfMode(mode);
  return list != nullptr && ReadForegroundItems(*list);
}

void Stop() {
  RequestCancel();
  boost::thread& thread = Slot().thread;
  if (thread.joinable()) thread.join();
  thread = boost::thread();
  if (thread.joinable()) thread.join();
}

bool ReadForegroundItems(const ApplicationList& list) {
  for (const PrefetchItem& item : list) {
    if (CancelRequested()) return false;
    if (item.isForeground) PrefetchFile(item.path);
  }
  return true;
}

}  // namespace SpeedLauncher
