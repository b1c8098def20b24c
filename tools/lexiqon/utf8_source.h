#pragma once

#include <cstdint>
#include <memory>
#include <streambuf>
#include <string>

#include "input_file.h"

namespace lexiqon {

// A UTF-8 text source as the dictionary reads UTF-16: little-endian units
// after a byte-order mark, converted piece by piece. A UTF-8 byte-order
// mark of the source is dropped. Invalid UTF-8 ends the text; Failed says
// so and at which line. Only the start can be sought.
class Utf8Source : public std::streambuf {
 public:
  explicit Utf8Source(InputFile& file);

  bool Failed() const { return badLine_ != 0; }
  std::uint32_t BadLine() const { return badLine_; }
  // Whether the source held any byte above 0x7F.
  bool HighBytes() const { return highBytes_; }

 protected:
  int_type underflow() override;
  pos_type seekoff(off_type offset, std::ios::seekdir direction, std::ios::openmode) override;
  pos_type seekpos(pos_type position, std::ios::openmode) override;

 private:
  void Restart();
  bool Convert(const char* bytes, std::size_t size);

  InputFile& file_;
  std::FILE* stream_ = nullptr;
  std::string pending_;  // source bytes not converted yet
  std::string out_;      // UTF-16 bytes handed out
  off_type handedOut_ = 0;
  std::uint32_t lines_ = 0;  // line ends converted so far
  std::uint32_t badLine_ = 0;
  bool started_ = false;
  bool highBytes_ = false;
};

}  // namespace lexiqon
