#include "prefetch/lists/entry_expansion.h"

#include <optional>
#include <ostream>

#include "directory_walk.h"
#include "platform/directory_listing.h"
#include "prefetch/lists/item_pattern.h"

namespace SpeedLauncher {
namespace {

// Every regular file below directory, each kept as the text the walk built,
// which is also what the pattern must match as a whole.
EntryResult WalkDirectory(const std::string& directory, const EntryAttributes& entry,
                          const ExpansionContext& context, const ItemSink& add) {
  std::optional<ItemPattern> pattern;  // compiled at the first file, as a walk error comes first
  const WalkResult result = WalkRegularFiles(
      directory, context.cancelled,
      [&](const std::string& path) {
        if (!entry.pattern.empty()) {
          if (!pattern) pattern.emplace(entry.pattern);
          if (!boost::regex_match(path, *pattern)) return;
        }
        add(path, entry.isForeground);
      },
      context.linkedFolder);
  return result == WalkResult::kCancelled ? EntryResult::kCancelled : EntryResult::kDone;
}

EntryResult ExpandPath(const std::string& fullPath, const EntryAttributes& entry,
                       const ExpansionContext& context, const ItemSink& add) {
  // The platform layer's status rather than the file system library's: the
  // library's module for it probes the kernel's version in every program
  // that links it, at start-up.
  int error = 0;
  const platform::EntryKind kind = platform::KindOfPath(fullPath, error);
  ThrowIfFailed(error, "cannot read the status", fullPath);
  if (kind == platform::EntryKind::kRegular) {
    add(fullPath, entry.isForeground);
    return EntryResult::kDone;
  }
  if (kind != platform::EntryKind::kDirectory) {
    if (context.passedOver) context.passedOver(fullPath);
    return EntryResult::kDone;
  }
  return WalkDirectory(fullPath, entry, context, add);
}

}  // namespace

EntryResult ExpandEntry(const EntryAttributes& entry, const ExpansionContext& context,
                        const ItemSink& add) {
  if (entry.NamesNothing()) return EntryResult::kDone;
  try {
    return ExpandPath(FullPath(entry, context.defaultBase), entry, context, add);
  } catch (const ExpansionError& error) {
    if (context.errors != nullptr) {
      *context.errors << error.code().category().name() << ':' << error.code().value()
                      << std::flush;
    }
    if (context.walkError) context.walkError(error.Path(), error.code().message());
  } catch (...) {
    // An invalid pattern, memory running out: this entry yields no more.
  }
  return EntryResult::kDone;
}

}  // namespace SpeedLauncher
