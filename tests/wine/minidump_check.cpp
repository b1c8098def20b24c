// Checks a minidump for the Wine suite by walking its stream directory: the
// "MDMP" signature, a thread list, a module list and an exception stream,
// every stream inside the file, and no full-memory stream.
//
//   minidump_check.exe FILE
//
// Prints what it found; exit code 0 when the dump is as expected, 1 when
// not, 2 on a usage error.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kSignature = 0x504D444D;  // "MDMP"
constexpr std::uint32_t kThreadListStream = 3;
constexpr std::uint32_t kModuleListStream = 4;
constexpr std::uint32_t kExceptionStream = 6;
constexpr std::uint32_t kMemory64ListStream = 9;  // a full-memory dump
constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDirectoryEntrySize = 12;
constexpr std::size_t kModuleSize = 108;
constexpr std::size_t kModuleNameOffset = 20;

class Bytes {
 public:
  explicit Bytes(std::vector<unsigned char> data) : data_(std::move(data)) {}
  std::size_t Size() const { return data_.size(); }
  std::optional<std::uint32_t> U32(std::uint64_t at) const {
    if (at + 4 > data_.size()) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | data_[at + static_cast<std::uint64_t>(i)];
    return value;
  }
  // A MINIDUMP_STRING: its length in bytes, then UTF-16; ASCII kept.
  std::string Name(std::uint64_t at) const {
    const auto length = U32(at);
    if (!length || at + 4 + *length > data_.size()) return "?";
    std::string name;
    for (std::uint64_t i = 0; i + 1 < *length; i += 2) {
      const unsigned unit = data_[at + 4 + i] | static_cast<unsigned>(data_[at + 5 + i]) << 8;
      name += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return name;
  }

 private:
  std::vector<unsigned char> data_;
};

int Fail(const std::string& why) {
  std::printf("minidump: %s\n", why.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: minidump_check FILE\n", stderr);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) return Fail(std::string("cannot open ") + argv[1]);
  const Bytes dump(std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}));
  if (dump.Size() < kHeaderSize || dump.U32(0) != kSignature) return Fail("no MDMP signature");
  const std::uint32_t count = *dump.U32(8);
  const std::uint32_t directory = *dump.U32(12);
  if (directory + std::uint64_t{count} * kDirectoryEntrySize > dump.Size()) {
    return Fail("stream directory outside the file");
  }
  std::map<std::uint32_t, std::uint32_t> streams;  // type to its offset
  std::string types;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t entry = directory + std::uint64_t{i} * kDirectoryEntrySize;
    const std::uint32_t type = *dump.U32(entry);
    const std::uint32_t size = *dump.U32(entry + 4);
    const std::uint32_t offset = *dump.U32(entry + 8);
    if (std::uint64_t{offset} + size > dump.Size()) return Fail("a stream outside the file");
    if (type == 0) continue;  // an unused entry
    streams[type] = offset;
    types += " " + std::to_string(type);
  }
  std::printf("minidump: streams%s\n", types.c_str());
  for (std::uint32_t needed : {kThreadListStream, kModuleListStream, kExceptionStream}) {
    if (streams.count(needed) == 0) return Fail("no stream of type " + std::to_string(needed));
  }
  if (streams.count(kMemory64ListStream) != 0) return Fail("full memory in the dump");

  const auto threads = dump.U32(streams[kThreadListStream]);
  const auto modules = dump.U32(streams[kModuleListStream]);
  const auto exceptionThread = dump.U32(streams[kExceptionStream]);
  const auto exceptionCode = dump.U32(streams[kExceptionStream] + 8);
  if (!threads || *threads == 0) return Fail("an empty thread list");
  if (!modules || *modules == 0) return Fail("an empty module list");
  if (!exceptionThread || !exceptionCode) return Fail("a cut exception stream");
  std::printf("minidump: %u threads, %u modules, exception 0x%08X in thread %u\n", *threads,
              *modules, *exceptionCode, *exceptionThread);
  for (std::uint32_t i = 0; i < *modules; ++i) {
    const std::uint64_t module = streams[kModuleListStream] + 4 + std::uint64_t{i} * kModuleSize;
    const auto name = dump.U32(module + kModuleNameOffset);
    if (!name) return Fail("a module outside the file");
    std::printf("minidump: module %s\n", dump.Name(*name).c_str());
  }
  return 0;
}
