#pragma once

#include <iosfwd>
#include <string>

#include "prefetch/lists/list_structure.h"
#include "prefetch/lists/prefetch_item.h"
#include "prefetch/worker/cancel_flag.h"

namespace SpeedLauncher {

// What one expansion runs against: the default base of relative entries,
// the cancellation poll, and where file-system error texts go.
struct ExpansionContext {
  std::string defaultBase;
  CancelCheck cancelled;
  std::ostream* errors = nullptr;
};

enum class EntryResult { kDone, kCancelled };

// Appends the entry's items to list. A failure ends only this entry: a
// file-system error writes "<category>:<number>" (no line end), anything
// else is dropped; items appended before it stay.
EntryResult ExpandEntry(const EntryAttributes& entry, const ExpansionContext& context,
                        PrefetchList& list);

}  // namespace SpeedLauncher
