#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// Writing compiled dictionaries and reading their header: what tools that
// make or inspect dictionary files need beside tessvik::Dictionary.
namespace tessvik {

struct CompiledEntry {
  std::string key;       // 8-bit key bytes
  std::u16string value;  // final UTF-16 text, stored unchanged

  bool operator==(const CompiledEntry&) const = default;
};

struct CompiledFormat {
  std::uint8_t major = 2;
  std::uint8_t minor = 1;
  bool bigEndian = false;          // versions 2.1 and later
  std::uint8_t valueEncoding = 0;  // versions 1.x: 0 UTF-16, 1 UTF-8, else ANSI
  std::string header;              // version 2
  std::uint32_t firstIndex = 0;    // version 2
  bool keysPresent = true;         // version 2
};

// Why a compiled file cleared the valid flag, and the byte offset at which
// reading stopped.
struct CompiledProblem {
  std::string reason;
  std::uint64_t offset = 0;
};

// Serialises entries with unique keys; the same input always gives the same
// bytes. Throws std::invalid_argument for an unsupported version or a key
// or value too long for the format, and for an empty key in version 2.
std::string WriteCompiled(const std::vector<CompiledEntry>& entries, const CompiledFormat& format);

// The version, value encoding and byte order of a compiled file, read from
// the stream's current position; none when the stream does not start with
// the compiled magic or ends inside the header. Only those fields are set.
std::optional<CompiledFormat> ReadCompiledFormat(std::istream& stream);

}  // namespace tessvik
