#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "process_memory.h"

namespace crashhandler {

// An x64 function table entry: module-relative addresses of the code and
// of its unwind information.
struct RuntimeFunction {
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
  std::uint32_t unwindInfo = 0;
};

// A PE module as it lies loaded in the crashed process: its function table
// and its export names, read through `memory` and never believed beyond the
// image's bounds. The export table is read here rather than through the
// debug help library because that library names functions from whatever
// debug information it finds on the machine; the export table names the
// same functions on every machine, which signatures need.
class PeImage {
 public:
  PeImage(const ProcessMemory& memory, std::uint64_t base, std::uint64_t size);

  // "MZ" and "PE" headers of a 32-bit or 64-bit image inside the bounds.
  bool Valid() const { return valid_; }
  // The same from the headers alone, without reading the tables.
  static bool IsImage(const ProcessMemory& memory, std::uint64_t base, std::uint64_t size);

  // The function table entry holding `rva`, as the table has it.
  std::optional<RuntimeFunction> FunctionEntry(std::uint32_t rva) const;

  // The start of the function holding `rva`, chained entries followed back
  // to the function's first part.
  std::optional<std::uint32_t> FunctionStart(std::uint32_t rva) const;

  // The exported name of the function holding `rva`, with the offset into
  // it; empty when that function is not exported by name.
  std::string FunctionName(std::uint32_t rva, std::uint32_t& offset) const;

 private:
  PeImage(const ProcessMemory& memory, std::uint64_t base, std::uint64_t size, bool withTables);

  struct Directory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
  };
  bool Read(std::uint64_t rva, void* buffer, std::size_t size) const;
  void ReadExports(const Directory& exports);
  void ReadFunctionTable(const Directory& table);

  const ProcessMemory& memory_;
  std::uint64_t base_;
  std::uint64_t size_;
  bool valid_ = false;
  std::vector<RuntimeFunction> functions_;      // by begin
  std::map<std::uint32_t, std::string> names_;  // by function address
};

}  // namespace crashhandler
