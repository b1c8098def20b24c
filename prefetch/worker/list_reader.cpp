#include "prefetch/worker/list_reader.h"

namespace SpeedLauncher {

bool ReadForegroundItemsWith(const PrefetchList& list, const CancelCheck& cancelled,
                             const FileReader& read) {
  for (const PrefetchItem& item : list) {
    if (cancelled()) return false;
    if (item.isForeground) read(item.path);
  }
  return true;
}

}  // namespace SpeedLauncher
