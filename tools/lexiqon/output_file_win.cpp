#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
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

// The temporary file's name for the console's interrupt handler, which
// gets no context: the one temporary file under way is named here.
wchar_t pendingPath[32768];
volatile LONG pendingArmed = 0;

// Ctrl-C, Ctrl-Break and closing the console end the process; the file
// goes first. It was opened to be deleted while open.
BOOL WINAPI RemovePending(DWORD) {
  if (pendingArmed != 0) DeleteFileW(pendingPath);
  return FALSE;  // the next handler, in the end the default one, ends the process
}

class RemovedOnInterrupt {
 public:
  RemovedOnInterrupt() { SetConsoleCtrlHandler(RemovePending, TRUE); }
  RemovedOnInterrupt(const RemovedOnInterrupt&) = delete;
  RemovedOnInterrupt& operator=(const RemovedOnInterrupt&) = delete;
  ~RemovedOnInterrupt() {
    Disarm();
    SetConsoleCtrlHandler(RemovePending, FALSE);
  }

  void Arm(const std::wstring& path) {
    if (path.size() >= std::size(pendingPath)) return;
    path.copy(pendingPath, path.size());
    pendingPath[path.size()] = L'\0';
    InterlockedExchange(&pendingArmed, 1);
  }
  void Disarm() { InterlockedExchange(&pendingArmed, 0); }
};

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
  TemporaryFile(const std::wstring& folder, RemovedOnInterrupt& cleanup) {
    std::random_device random;
    for (int attempt = 0; attempt < 16 && !handle_.IsOpen(); ++attempt) {
      path_ = folder + L".lexiqon-" + std::to_wstring(random()) + L".tmp";
      handle_.Reset(CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!handle_.IsOpen() && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    error_ = handle_.IsOpen() ? ERROR_SUCCESS : GetLastError();
    if (handle_.IsOpen()) {
      cleanup.Arm(path_);
    } else {
      path_.clear();
    }
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

// False, with nothing changed, when an existing file's folder takes no new
// file.
bool Replace(const std::string& shown, const std::wstring& target, bool exists,
             const std::string& bytes) {
  RemovedOnInterrupt cleanup;
  TemporaryFile temporary(Folder(target), cleanup);
  if (exists && temporary.Error() == ERROR_ACCESS_DENIED) return false;
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
  cleanup.Disarm();
  return true;
}

// Over the file itself when a new file cannot take its place: the content
// is complete, and the room for it is taken before the old content goes,
// so a full disk leaves the old file whole.
void WriteInPlace(const std::string& shown, HANDLE file, const std::string& bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) Fail(shown, GetLastError());
  if (static_cast<std::uint64_t>(size.QuadPart) < bytes.size()) {
    LARGE_INTEGER wanted{};
    wanted.QuadPart = static_cast<LONGLONG>(bytes.size());
    if (!SetFilePointerEx(file, wanted, nullptr, FILE_BEGIN) || !SetEndOfFile(file)) {
      Fail(shown, GetLastError());
    }
  }
  const LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN) || !WriteAll(file, bytes) ||
      !SetEndOfFile(file) || !FlushFileBuffers(file)) {
    Fail(shown, GetLastError());
  }
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
    Replace(path, target, false, bytes);
    return;
  }
  // A device (NUL, CON) or a pipe is written through, and so is a link: the
  // tool never replaces a file the user did not name.
  if (GetFileType(existing.Get()) != FILE_TYPE_DISK) {
    if (!WriteAll(existing.Get(), bytes) || !existing.Close()) Fail(path, GetLastError());
    return;
  }
  const bool link =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  // A new file would part the hard links, or cannot be made beside it: the
  // old file takes the new content.
  BY_HANDLE_FILE_INFORMATION information{};
  const bool linked = GetFileInformationByHandle(existing.Get(), &information) != 0 &&
                      information.nNumberOfLinks > 1;
  if (link || linked) return WriteInPlace(path, existing.Get(), bytes);
  existing.Close();
  if (Replace(path, target, true, bytes)) return;
  existing.Reset(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!existing.IsOpen()) Fail(path, GetLastError());
  WriteInPlace(path, existing.Get(), bytes);
}

}  // namespace lexiqon
