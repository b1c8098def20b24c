#include <boost/filesystem/directory.hpp>
#include <boost/filesystem/operations.hpp>

#include "platform/directory_listing.h"
#include "platform/utf_common.h"

// The file system library's iterator already takes each entry's kind from
// the find data that lists it; only reparse points cost a status call.
// Paths go to it in UTF-16, so a name outside the ANSI code page is found.
namespace platform {
namespace {

namespace fs = boost::filesystem;

fs::path WidePath(const std::string& utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  return fs::path(std::wstring(wide.begin(), wide.end()));
}

std::string Utf8Name(const fs::path& path) {
  const std::wstring& wide = path.native();
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

EntryKind KindOf(fs::file_type type) {
  switch (type) {
    case fs::regular_file:
      return EntryKind::kRegular;
    case fs::directory_file:
      return EntryKind::kDirectory;
    case fs::symlink_file:
      return EntryKind::kSymlink;
    default:
      return EntryKind::kOther;
  }
}

// The library reports a missing path with its error code set and a
// not-found status; only a status it could not read is an error.
EntryKind FollowedKind(const fs::path& path, int& error) {
  boost::system::error_code code;
  const fs::file_status status = fs::status(path, code);
  error = status.type() == fs::status_error ? code.value() : 0;
  return KindOf(status.type());
}

}  // namespace

struct DirectoryListing::State {
  fs::directory_iterator it;
  bool started = false;
};

namespace {

std::unique_ptr<DirectoryListing::State> OpenState(const std::string& path, int& error) {
  boost::system::error_code code;
  auto state = std::make_unique<DirectoryListing::State>();
  state->it = fs::directory_iterator(WidePath(path), code);
  error = code.value();
  if (code) return nullptr;
  return state;
}

}  // namespace

DirectoryListing::DirectoryListing(const std::string& path, int& error)
    : state_(OpenState(path, error)) {}

DirectoryListing::DirectoryListing(const DirectoryListing&, const std::string&,
                                   const std::string& path, int& error)
    : state_(OpenState(path, error)) {}

DirectoryListing::~DirectoryListing() = default;
DirectoryListing::DirectoryListing(DirectoryListing&&) noexcept = default;
DirectoryListing& DirectoryListing::operator=(DirectoryListing&&) noexcept = default;

bool DirectoryListing::Next(std::string& name, EntryKind& kind, int& error) {
  error = 0;
  boost::system::error_code code;
  if (state_->started) state_->it.increment(code);
  state_->started = true;
  if (code) {
    error = code.value();
    return false;
  }
  if (state_->it == fs::directory_iterator()) return false;
  const fs::file_status status = state_->it->symlink_status(code);
  if (code) {
    error = code.value();
    return false;
  }
  name = Utf8Name(state_->it->path().filename());
  kind = KindOf(status.type());
  return true;
}

EntryKind DirectoryListing::Follow(const std::string&, const std::string& path, int& error) const {
  return KindOfPath(path, error);
}

EntryKind KindOfPath(const std::string& path, int& error) {
  return FollowedKind(WidePath(path), error);
}

bool SizeOfPath(const std::string& path, std::uint64_t& size, int& error) {
  boost::system::error_code code;
  size = fs::file_size(WidePath(path), code);
  error = code.value();
  return !code;
}

EntryKind KindOfPath(const std::u16string& path, int& error) {
  return FollowedKind(fs::path(std::wstring(path.begin(), path.end())), error);
}

}  // namespace platform
