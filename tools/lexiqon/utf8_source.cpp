#include "utf8_source.h"

#include <algorithm>
#include <cstring>

#include "platform/code_page.h"

namespace lexiqon {
namespace {

constexpr std::size_t kPiece = 1 << 16;

// The length of the prefix that ends on a whole UTF-8 sequence: at most
// three bytes of a sequence the next piece completes are held back.
std::size_t WholeSequences(const std::string& bytes) {
  const std::size_t size = bytes.size();
  for (std::size_t back = 1; back <= std::min<std::size_t>(3, size); ++back) {
    const auto byte = static_cast<unsigned char>(bytes[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? size - back : size;
  }
  return size;
}

int Units(const char* bytes, std::size_t size, char16_t* out, int capacity) {
  return platform::MultiByteToWideChar(platform::kCpUtf8, platform::kMbErrInvalidChars, bytes,
                                       static_cast<int>(size), out, capacity);
}

}  // namespace

Utf8Source::Utf8Source(InputFile& file) : file_(file) { Restart(); }

void Utf8Source::Restart() {
  stream_ = file_.Rewound();
  pending_.clear();
  out_ = "\xFF\xFE";
  handedOut_ = 0;
  lines_ = 0;
  badLine_ = 0;
  started_ = false;
  highBytes_ = false;
  setg(out_.data(), out_.data(), out_.data() + out_.size());
}

bool Utf8Source::Convert(const char* bytes, std::size_t size) {
  std::u16string units(size, u'\0');
  const int count = Units(bytes, size, units.data(), static_cast<int>(units.size()));
  if (count == 0 && size != 0) {
    // Which line holds the broken sequence: the lines converted one by one.
    const char* line = bytes;
    const char* end = bytes + size;
    std::uint32_t number = lines_ + 1;
    while (line < end) {
      const auto left = static_cast<std::size_t>(end - line);
      const char* next = static_cast<const char*>(std::memchr(line, '\n', left));
      next = next == nullptr ? end : next + 1;
      if (Units(line, static_cast<std::size_t>(next - line), nullptr, 0) == 0) break;
      ++number;
      line = next;
    }
    badLine_ = number;
    return false;
  }
  lines_ += static_cast<std::uint32_t>(std::count(bytes, bytes + size, '\n'));
  highBytes_ = highBytes_ || std::any_of(bytes, bytes + size, [](char byte) {
                 return static_cast<unsigned char>(byte) >= 0x80;
               });
  out_.resize(2 * static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    out_[2 * i] = static_cast<char>(units[i] & 0xFF);
    out_[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  return true;
}

Utf8Source::int_type Utf8Source::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  handedOut_ += egptr() - eback();
  out_.clear();
  while (out_.empty() && !Failed()) {
    const std::size_t kept = pending_.size();
    pending_.resize(kept + kPiece);
    const std::size_t got = std::fread(pending_.data() + kept, 1, kPiece, stream_);
    pending_.resize(kept + got);
    std::size_t skip = 0;
    if (!started_ && pending_.size() >= 3) {
      started_ = true;
      if (pending_.compare(0, 3, "\xEF\xBB\xBF") == 0) skip = 3;
    } else if (!started_ && got == 0) {
      started_ = true;
    }
    if (!started_) continue;
    // At the end, what is left must convert whole.
    const std::size_t whole = got == 0 ? pending_.size() : WholeSequences(pending_);
    if (!Convert(pending_.data() + skip, whole - skip)) break;
    pending_.erase(0, whole);
    if (got == 0) break;
  }
  setg(out_.data(), out_.data(), out_.data() + out_.size());
  if (out_.empty()) return traits_type::eof();
  return traits_type::to_int_type(*gptr());
}

Utf8Source::pos_type Utf8Source::seekoff(off_type offset, std::ios::seekdir direction,
                                         std::ios::openmode mode) {
  if (direction == std::ios::cur && offset == 0) {
    return pos_type(handedOut_ + (gptr() - eback()));
  }
  if (direction == std::ios::beg) return seekpos(pos_type(offset), mode);
  return pos_type(off_type(-1));
}

Utf8Source::pos_type Utf8Source::seekpos(pos_type position, std::ios::openmode) {
  if (off_type(position) != 0) return pos_type(off_type(-1));
  Restart();
  return position;
}

}  // namespace lexiqon
