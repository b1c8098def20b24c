#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "prefetch/lists/list_structure.h"
#include "prefetch/worker/cancel_flag.h"

namespace SpeedLauncher {

// Told of a file-system error that ended an entry: the path it concerns
// and the system's reason.
using WalkErrorSink = std::function<void(const std::string& path, const std::string& reason)>;

// Told of a path the launcher passes over in silence.
using PathSink = std::function<void(const std::string& path)>;

// What one expansion runs against: the default base of relative entries,
// the cancellation poll, where the launcher's file-system error texts go,
// and who else hears of those errors. The tools also hear of an entry's
// path that is neither a regular file nor a folder (missing, a device),
// and of a folder below a walked one that is reached through a link and
// so not entered.
struct ExpansionContext {
  std::string defaultBase;
  CancelCheck cancelled;
  std::ostream* errors = nullptr;
  WalkErrorSink walkError;
  PathSink passedOver = {};
  PathSink linkedFolder = {};
};

enum class EntryResult { kDone, kCancelled };

// Takes each item as the expansion makes it: its path and foreground flag.
using ItemSink = std::function<void(const std::string& path, bool isForeground)>;

// Hands the entry's items to add, in order. A failure ends only this entry: a
// file-system error writes "<category>:<number>" (no line end), anything
// else is dropped; items handed over before it stay.
EntryResult ExpandEntry(const EntryAttributes& entry, const ExpansionContext& context,
                        const ItemSink& add);

}  // namespace SpeedLauncher
