#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/export.h"

namespace platform {

// What an entry is, as far as the caller of a walk needs to know.
enum class EntryKind { kRegular, kDirectory, kSymlink, kOther };

// One open directory, read entry by entry in the order the file system lists
// them, "." and ".." left out. The kind comes from the listing itself where
// the system tells it, so a walk costs no status call per entry; only an
// entry the listing cannot classify is asked about, without following links.
// Errors are the system's own numbers (errno, or a Windows error code).
class PLATFORM_API DirectoryListing {
 public:
  // The directory at path, the text as given (UTF-8, as for KindOfPath).
  DirectoryListing(const std::string& path, int& error);
  // The subdirectory `name` of parent, whose full text is path. A link put
  // in its place since it was listed is not followed.
  DirectoryListing(const DirectoryListing& parent, const std::string& name, const std::string& path,
                   int& error);
  ~DirectoryListing();
  DirectoryListing(DirectoryListing&&) noexcept;
  DirectoryListing& operator=(DirectoryListing&&) noexcept;

  bool IsOpen() const { return state_ != nullptr; }

  // The next entry; false at the end, or with error set when listing failed.
  bool Next(std::string& name, EntryKind& kind, int& error);

  // The kind of what the entry `name` (full text path) leads to, links
  // followed. An entry that is gone, or a link into nothing, is kOther
  // without error.
  EntryKind Follow(const std::string& name, const std::string& path, int& error) const;

  struct State;  // each backend's own

 private:
  std::unique_ptr<State> state_;
};

// What path leads to, links followed. A path that does not exist, or that
// runs through something other than a folder, is kOther without error.
// Narrow paths here are UTF-8 on every system (Windows gets them in
// UTF-16); on Linux they go to the system as the bytes they are.
PLATFORM_API EntryKind KindOfPath(const std::string& path, int& error);
PLATFORM_API EntryKind KindOfPath(const std::u16string& path, int& error);

// The size of what path leads to, links followed; false with the system's
// error number when it has none to tell.
PLATFORM_API bool SizeOfPath(const std::string& path, std::uint64_t& size, int& error);

}  // namespace platform
