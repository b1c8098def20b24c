#pragma once

#include <functional>
#include <string>

#include "prefetch/lists/prefetch_item.h"
#include "prefetch/worker/cancel_flag.h"

namespace SpeedLauncher {

using FileReader = std::function<void(const std::string& path)>;

// Hands every foreground item's path to read, in list order, polling
// cancelled before each item. False when it stopped on the poll.
bool ReadForegroundItemsWith(const PrefetchList& list, const CancelCheck& cancelled,
                             const FileReader& read);

}  // namespace SpeedLauncher
