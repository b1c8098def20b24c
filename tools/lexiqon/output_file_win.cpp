#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "errors.h"
#include "output_file.h"
#include "platform/utf_common.h"

// Paths reach the system in UTF-16, so any name the user typed is found.
namespace lexiqon {
namespace {

// The C library's words for what users meet most, as the tool's reading side
// says them; the system's own text for the rest.
std::string Reason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return std::strerror(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return std::strerror(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::strerror(ENOSPC);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return std::strerror(EEXIST);
    default:
      break;
  }
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0) return "system error " + std::to_string(error);
  std::u16string reason(reinterpret_cast<const char16_t*>(text), length);
  LocalFree(text);
  while (!reason.empty() && (reason.back() == u'\r' || reason.back() == u'\n' ||
                             reason.back() == u' ' || reason.back() == u'.')) {
    reason.pop_back();
  }
  return platform::Utf16ToUtf8(reason);
}

[[noreturn]] void Fail(const std::string& path, DWORD error) {
  throw FileError(path, Reason(error));
}

std::wstring Wide(const std::string& text) {
  const std::u16string wide = platform::Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

// The whole path, for the temporary file's folder and for ReplaceFileW,
// which does not take a bare name everywhere.
std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }

  HANDLE Get() const { return handle_; }
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Reset(HANDLE handle) {
    Close();
    handle_ = handle;
  }
  bool Close() {
    if (!IsOpen()) return true;
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE handle, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t left = bytes.size() - done;
    const auto piece = static_cast<DWORD>(left < (1u << 30) ? left : (1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data() + done, piece, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

// The temporary file beside the target, removed unless it took the target's place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::wstring& folder) {
    std::random_device random;
    for (int attempt = 0; attempt < 16 && !handle_.IsOpen(); ++attempt) {
      path_ = folder + L".lexiqon-" + std::to_wstring(random()) + L".tmp";
      handle_.Reset(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!handle_.IsOpen() && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    error_ = handle_.IsOpen() ? ERROR_SUCCESS : GetLastError();
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    handle_.Close();
    if (!kept_ && !path_.empty()) DeleteFileW(path_.c_str());
  }

  DWORD Error() const { return error_; }
  HANDLE Get() const { return handle_.Get(); }
  bool Close() { return handle_.Close(); }
  const std::wstring& Path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  Handle handle_{INVALID_HANDLE_VALUE};
  std::wstring path_;
  DWORD error_ = ERROR_SUCCESS;
  bool kept_ = false;
};

// The folder part of a path, with its separator ("" for a bare name).
std::wstring Folder(const std::wstring& path) {
  const std::size_t end = path.find_last_of(L"\\/");
  return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

void Replace(const std::string& shown, const std::wstring& target, bool exists,
             const std::string& bytes) {
  TemporaryFile temporary(Folder(target));
  if (temporary.Error() != ERROR_SUCCESS) Fail(shown, temporary.Error());
  if (!WriteAll(temporary.Get(), bytes) || !FlushFileBuffers(temporary.Get()) ||
      !temporary.Close()) {
    Fail(shown, GetLastError());
  }
  // Replacing keeps the old file's attributes and access rights.
  const bool moved = exists ? ReplaceFileW(target.c_str(), temporary.Path().c_str(), nullptr,
                                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                            : MoveFileExW(temporary.Path().c_str(), target.c_str(),
                                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!moved) Fail(shown, GetLastError());
  temporary.Keep();
}

void WriteStandardOutput(const std::string& bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
      std::fflush(stdout) != 0) {
    throw FileError("-", std::strerror(errno));
  }
}

}  // namespace

void WriteOutput(const std::string& path, const std::string& bytes) {
  if (path == "-") return WriteStandardOutput(bytes);
  const std::wstring target = FullPath(Wide(path));
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    throw FileError(path, std::strerror(EISDIR));
  }
  // Opening for writing tells what it is, and whether it is ours to write.
  Handle existing(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!existing.IsOpen()) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) Fail(path, error);
    return Replace(path, target, false, bytes);
  }
  // A device (NUL, CON), a pipe or a link is written through, so the tool
  // never replaces a file the user did not name.
  const bool link =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (GetFileType(existing.Get()) == FILE_TYPE_DISK && !link) {
    existing.Close();
    return Replace(path, target, true, bytes);
  }
  const bool disk = GetFileType(existing.Get()) == FILE_TYPE_DISK;
  if (!WriteAll(existing.Get(), bytes) || (disk && !SetEndOfFile(existing.Get())) ||
      !existing.Close()) {
    Fail(path, GetLastError());
  }
}

}  // namespace lexiqon
