#include <windows.h>
// After windows.h, which it needs.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <streambuf>

#include "platform/tool_io.h"
#include "platform/utf_common.h"

namespace platform {
namespace {

struct LocalFreer {
  void operator()(wchar_t** arguments) const { LocalFree(arguments); }
};

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  const std::unique_ptr<wchar_t*, LocalFreer> wide(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    arguments.push_back(Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide.get()[i])));
  }
  return arguments;
}

namespace {

// Text for a console, which shows UTF-16 whatever its code page: complete
// characters go out with WriteConsoleW, a character cut between two writes
// waits for its rest.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) { setp(buffer_, buffer_ + kSize); }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
  }

  int sync() override { return Drain() ? 0 : -1; }

 private:
  static constexpr std::size_t kSize = 4096;

  bool Drain() {
    pending_.append(pbase(), pptr());
    setp(buffer_, buffer_ + kSize);
    const std::size_t complete = CompleteUtf8Length(pending_);
    const std::u16string text = Utf8ToUtf16(std::string_view(pending_).substr(0, complete));
    pending_.erase(0, complete);
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    std::size_t left = text.size();
    while (left > 0) {
      DWORD written = 0;
      const auto piece = static_cast<DWORD>(left < 8192 ? left : 8192);
      if (!WriteConsoleW(console_, units, piece, &written, nullptr) || written == 0) return false;
      units += written;
      left -= written;
    }
    return true;
  }

  HANDLE console_;
  char buffer_[kSize];
  std::string pending_;
};

// The stream's buffer for the run, when its handle is a console.
struct ConsoleStream {
  ConsoleStream(std::ostream& stream, DWORD handle) : stream_(stream) {
    const HANDLE console = GetStdHandle(handle);
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode)) return;
    buffer_.emplace(console);
    stream.flush();
    previous_ = stream.rdbuf(&*buffer_);
  }
  ~ConsoleStream() {
    if (previous_ == nullptr) return;
    stream_.flush();
    stream_.rdbuf(previous_);
  }
  ConsoleStream(const ConsoleStream&) = delete;
  ConsoleStream& operator=(const ConsoleStream&) = delete;

 private:
  std::ostream& stream_;
  std::optional<ConsoleBuffer> buffer_;
  std::streambuf* previous_ = nullptr;
};

// Binary mode on one of the runtime's standard descriptors, for the run.
struct BinaryMode {
  explicit BinaryMode(std::FILE* file) : file_(file) {
    std::fflush(file);
    previous_ = _setmode(_fileno(file), _O_BINARY);
  }
  ~BinaryMode() {
    if (previous_ == -1) return;
    std::fflush(file_);
    _setmode(_fileno(file_), previous_);
  }
  BinaryMode(const BinaryMode&) = delete;
  BinaryMode& operator=(const BinaryMode&) = delete;

 private:
  std::FILE* file_;
  int previous_ = -1;
};

}  // namespace

// Members are undone in reverse: the console buffers go before the modes.
struct ToolStreams::State {
  BinaryMode input{stdin};
  BinaryMode output{stdout};
  BinaryMode error{stderr};
  ConsoleStream consoleOutput{std::cout, STD_OUTPUT_HANDLE};
  ConsoleStream consoleError{std::cerr, STD_ERROR_HANDLE};
};

ToolStreams::ToolStreams() : state_(std::make_unique<State>()) {}
ToolStreams::~ToolStreams() = default;

}  // namespace platform
