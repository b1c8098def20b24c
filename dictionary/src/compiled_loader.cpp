#include "private/compiled_loader.h"

#include <cstring>
#include <istream>

#include "private/bounded_reader.h"
#include "private/table_loader.h"
#include "tessvik/compiled_file.h"

namespace tessvik_private {

struct Version {
  std::int8_t major = 0;
  std::int8_t minor = 0;
  std::int8_t valueEncoding = 0;
  bool bigEndian = false;
};

bool ReadVersion(BoundedReader& in, Version& version) {
  std::uint8_t bytes[3];
  if (!in.Read(bytes, sizeof bytes)) return false;
  version.major = static_cast<std::int8_t>(bytes[0]);
  version.minor = static_cast<std::int8_t>(bytes[1]);
  version.valueEncoding = static_cast<std::int8_t>(bytes[2]);
  if (version.major < 2 || version.minor < 1) return true;
  std::uint8_t order = 0;
  if (!in.ReadU8(order)) return false;
  version.bigEndian = (order & 1) != 0;
  return true;
}

namespace {

bool LoadVersion2(BoundedReader& in, bool bigEndian, DictionaryState& state) {
  state.mode = kBlockMode;
  in.SetSwap(bigEndian);
  std::uint32_t length = 0;
  if (!in.ReadU32(length) || length > in.Remaining()) return false;
  auto header = std::make_unique<char[]>(static_cast<std::size_t>(length) + 1);
  if (!in.Read(header.get(), length)) return false;
  state.header = std::move(header);
  return state.blocks->LoadBlock(in, bigEndian);
}

bool LoadBody(BoundedReader& in, const Version& version, DictionaryState& state) {
  if (version.major == 2 && version.minor >= 0) {
    return LoadVersion2(in, version.bigEndian, state);
  }
  if (version.major == 1 && version.minor == 5) {
    return LoadTable15(in, version.valueEncoding, state.entries);
  }
  if (version.major == 1 && version.minor == 0) {
    return LoadTable10(in, version.valueEncoding, state.entries);
  }
  return false;  // an unknown version loads nothing and invalidates
}

}  // namespace

bool KnownVersion(const Version& version) {
  return (version.major == 2 && version.minor >= 0) ||
         (version.major == 1 && (version.minor == 0 || version.minor == 5));
}

void LoadCompiled(std::istream& stream, DictionaryState& state) {
  BoundedReader in(stream, false);
  const std::uint64_t size = in.Remaining();
  char magic[kCompiledMagicSize];
  Version version;
  const char* problem = nullptr;
  if (!in.Read(magic, sizeof magic) || !ReadVersion(in, version)) {
    problem = "the file ends inside its header";
  } else if (!KnownVersion(version)) {
    problem = "unknown version";
  } else if (!LoadBody(in, version, state)) {
    problem =
        version.major == 2 ? "truncated or inconsistent block" : "truncated or inconsistent table";
  }
  if (problem == nullptr) return;
  state.valid = 0;
  if (!state.compiledProblem)
    state.compiledProblem = tessvik::CompiledProblem{problem, size - in.Remaining()};
}

}  // namespace tessvik_private

namespace tessvik {

std::optional<CompiledFormat> ReadCompiledFormat(std::istream& stream) {
  tessvik_private::BoundedReader in(stream, false);
  char magic[tessvik_private::kCompiledMagicSize];
  tessvik_private::Version version;
  if (!in.Read(magic, sizeof magic) ||
      std::memcmp(magic, tessvik_private::kCompiledMagic, sizeof magic) != 0 ||
      !tessvik_private::ReadVersion(in, version)) {
    return std::nullopt;
  }
  CompiledFormat format;
  format.major = static_cast<std::uint8_t>(version.major);
  format.minor = static_cast<std::uint8_t>(version.minor);
  format.valueEncoding = static_cast<std::uint8_t>(version.valueEncoding);
  format.bigEndian = version.bigEndian;
  return format;
}

}  // namespace tessvik
