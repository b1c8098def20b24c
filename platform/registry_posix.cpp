// The volatile per-user store: directories for keys, one file per value,
// under the user's runtime folder so that it goes away at logout.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <boost/uuid/detail/sha1.hpp>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/utf_common.h"

namespace platform {

struct RegistryKey {
  bool root = false;
  std::string directory;  // empty for the root, found on each use
};

namespace {

constexpr std::uint32_t kRegCreatedNewKey = 1;
constexpr std::uint32_t kRegOpenedExistingKey = 2;

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// Without XDG_RUNTIME_DIR, a private folder in /tmp: refused when someone
// else made it first or it is not a plain directory.
std::optional<std::string> RuntimeFolder() {
  std::string folder = Variable("XDG_RUNTIME_DIR");
  if (!folder.empty() && folder.front() == '/') return folder;  // a relative one is invalid
  folder = "/tmp/pellicor-runtime-" + std::to_string(getuid());
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  struct stat status {};
  if (lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
      status.st_uid != getuid() || (status.st_mode & 077) != 0) {
    return std::nullopt;
  }
  return folder;
}

bool IsDirectory(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Keys usually exist already: one status call then, a walk only to create.
bool MakeDirectories(const std::string& path) {
  if (IsDirectory(path)) return true;
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  return IsDirectory(path);
}

std::optional<std::string> KeyDirectory(const RegistryKey& key) {
  if (!key.root) return key.directory;
  const std::optional<std::string> runtime = RuntimeFolder();
  if (!runtime) return std::nullopt;
  return *runtime + "/pellicor-registry/HKEY_CURRENT_USER";
}

// "Software\\Maker" -> "/Software/Maker"; "." and ".." would leave the key.
std::optional<std::string> RelativeKeyPath(const char16_t* subKey) {
  const std::string path = subKey == nullptr ? std::string() : Utf16ToUtf8(subKey);
  std::string result;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string_view part = std::string_view(path).substr(start, end - start);
    if (part == "." || part == ".." || part.find('/') != std::string_view::npos) {
      return std::nullopt;
    }
    if (!part.empty()) (result += '/') += part;
    start = end + 1;
  }
  return result;
}

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_' || c == '-';
}

// Hex digits by hand: a start need not bring in the formatted-output code.
constexpr char kLowerHex[] = "0123456789abcdef";
constexpr char kUpperHex[] = "0123456789ABCDEF";

// Windows refuses longer value names.
constexpr std::size_t kMaxValueNameUnits = 16383;
constexpr std::size_t kMaxFileNameBytes = 255;

// "%h" and the SHA-1 of the name: "%h" is no escape, so it never clashes
// with an encoded name, and equal names still meet in one file.
std::string HashedFileName(const std::string& name) {
  boost::uuids::detail::sha1 sha1;
  sha1.process_bytes(name.data(), name.size());
  boost::uuids::detail::sha1::digest_type digest;
  sha1.get_digest(digest);
  std::string result = "%h";
  for (unsigned int word : digest) {
    for (int shift = 28; shift >= 0; shift -= 4) result += kLowerHex[(word >> shift) & 0xF];
  }
  return result;
}

// Every byte outside [A-Za-z0-9._-] as %XX; "." and ".." fully encoded, and
// the unnamed value as "@" (a real "@" is "%40"). A name whose encoding
// passes the file system's name limit is stored under its hash.
std::string ValueFileName(const char16_t* valueName) {
  const std::string name = valueName == nullptr ? std::string() : Utf16ToUtf8(valueName);
  if (name.empty()) return "@";
  const bool onlyDots = name.find_first_not_of('.') == std::string::npos && name.size() <= 2;
  std::string encoded;
  for (const char byte : name) {
    const auto c = static_cast<unsigned char>(byte);
    if (Unreserved(c) && !onlyDots) {
      encoded += static_cast<char>(c);
      continue;
    }
    ((encoded += '%') += kUpperHex[c >> 4]) += kUpperHex[c & 0xF];
  }
  if (encoded.size() > kMaxFileNameBytes) return HashedFileName(name);
  return encoded;
}

bool ValueNameTooLong(const char16_t* valueName) {
  return valueName != nullptr && std::char_traits<char16_t>::length(valueName) > kMaxValueNameUnits;
}

bool WriteAll(int file, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(file, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// A temporary name cannot clash with a value: "%t" is no escape. The key's
// folder is made again only when it has gone since the key was opened.
Status WriteValueFile(const std::string& path, const std::string& directory, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) {
  std::string temporary = directory + "/%tmp.XXXXXX";
  int file = mkstemp(temporary.data());
  if (file < 0 && errno == ENOENT && MakeDirectories(directory)) {
    temporary = directory + "/%tmp.XXXXXX";
    file = mkstemp(temporary.data());
  }
  if (file < 0) return static_cast<Status>(kErrorAccessDenied);
  std::string content = {static_cast<char>(type), static_cast<char>(type >> 8),
                         static_cast<char>(type >> 16), static_cast<char>(type >> 24)};
  content.append(reinterpret_cast<const char*>(data), size);
  const bool written =
      WriteAll(file, reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
  const bool closed = close(file) == 0;
  if (!written || !closed || rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return static_cast<Status>(kErrorAccessDenied);
  }
  return static_cast<Status>(kErrorSuccess);
}

Status Error(std::uint32_t code) { return static_cast<Status>(code); }

}  // namespace

RegKey HkeyCurrentUser() {
  static RegistryKey root{true, {}};  // the predefined key, as on Windows
  return &root;
}

Status RegCreateKeyExW(RegKey root, const char16_t* subKey, std::uint32_t, char16_t*, std::uint32_t,
                       std::uint32_t, void*, RegKey* result, std::uint32_t* disposition) {
  if (root == nullptr || result == nullptr) return Error(kErrorInvalidParameter);
  *result = nullptr;
  const std::optional<std::string> base = KeyDirectory(*root);
  if (!base) return Error(kErrorAccessDenied);
  const std::optional<std::string> relative = RelativeKeyPath(subKey);
  if (!relative) return Error(kErrorInvalidParameter);
  const std::string directory = *base + *relative;
  const bool existed = IsDirectory(directory);
  if (!existed && !MakeDirectories(directory)) return Error(kErrorAccessDenied);
  if (disposition != nullptr) *disposition = existed ? kRegOpenedExistingKey : kRegCreatedNewKey;
  *result = new RegistryKey{false, directory};  // freed by RegCloseKey
  return Error(kErrorSuccess);
}

Status RegSetValueExW(RegKey key, const char16_t* valueName, std::uint32_t, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) {
  if (key == nullptr || (data == nullptr && size != 0)) return Error(kErrorInvalidParameter);
  const std::optional<std::string> directory = KeyDirectory(*key);
  if (!directory) return Error(kErrorAccessDenied);
  if (ValueNameTooLong(valueName)) return Error(kErrorInvalidParameter);
  const std::string path = *directory + "/" + ValueFileName(valueName);
  return WriteValueFile(path, *directory, type, data, size);
}

Status RegDeleteValueW(RegKey key, const char16_t* valueName) {
  if (key == nullptr) return Error(kErrorInvalidParameter);
  if (ValueNameTooLong(valueName)) return Error(kErrorFileNotFound);
  const std::optional<std::string> directory = KeyDirectory(*key);
  if (!directory) return Error(kErrorAccessDenied);
  const std::string path = *directory + "/" + ValueFileName(valueName);
  if (unlink(path.c_str()) == 0) return Error(kErrorSuccess);
  return Error(errno == ENOENT ? kErrorFileNotFound : kErrorAccessDenied);
}

Status RegCloseKey(RegKey key) {
  if (key == nullptr) return Error(kErrorInvalidParameter);
  if (!key->root) delete key;
  return Error(kErrorSuccess);
}

}  // namespace platform
