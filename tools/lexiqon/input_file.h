#pragma once

#include <cstdio>
#include <memory>
#include <streambuf>
#include <string>

namespace lexiqon {

// The file the user named, open for reading from its start as often as a
// reader needs; "-" is standard input. A pipe or FIFO, which cannot be
// read twice, is copied to an unnamed temporary file first, up to 1 GiB. Throws FileError with the
// system's reason and the user's path.
class InputFile {
 public:
  explicit InputFile(const std::string& path);
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  const std::string& Path() const { return path_; }
  // Whether the bytes were copied: the path cannot be read again.
  bool Copied() const { return copied_; }
  // The file positioned at its first byte.
  std::FILE* Rewound();
  // Up to size bytes from the start.
  std::string Head(std::size_t size);
  // The whole content, for formats read at once (compiled files).
  std::string ReadAll();
  // Throws FileError for a read error under way.
  void ThrowIfFailed();

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  bool owned_ = false;
  bool copied_ = false;
};

// A seekable stream buffer over an InputFile, read in pieces of 64 KiB,
// with prefix before the file's first byte.
class InputBuffer : public std::streambuf {
 public:
  explicit InputBuffer(InputFile& file, std::string prefix = "");

 protected:
  int_type underflow() override;
  pos_type seekoff(off_type offset, std::ios::seekdir direction, std::ios::openmode) override;
  pos_type seekpos(pos_type position, std::ios::openmode) override;

 private:
  std::FILE* stream_;
  std::unique_ptr<char[]> buffer_;
  std::string prefix_;
  off_type bufferStart_ = 0;  // stream offset of the buffer's first byte
  off_type fileAt_ = 0;       // where the file is
};

}  // namespace lexiqon
