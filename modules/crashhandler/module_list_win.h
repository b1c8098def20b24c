#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "process_memory.h"

namespace crashhandler {

struct LoadedModule {
  std::uint64_t base = 0;
  std::uint64_t size = 0;
  std::string name;     // file name, UTF-8
  std::string shown;    // the path, the user's profile folder as %USERPROFILE%
  std::string version;  // "10.0.19041.1"; empty without version information
};

// The PE images loaded in the crashed process, by address. The loader's
// list lives in that process, so an entry whose headers are not those of a
// PE image in memory is left out.
class ModuleList {
 public:
  ModuleList(void* process, const ProcessMemory& memory);

  const std::vector<LoadedModule>& Modules() const { return modules_; }
  const LoadedModule* Find(std::uint64_t address) const;
  // Why the list is missing or short, if it is.
  const std::string& Problem() const { return problem_; }

 private:
  std::vector<LoadedModule> modules_;
  std::string problem_;
};

// "Stoven.dll+0x1139"; "unknown" when no module holds the address.
std::string ModuleAndOffset(const ModuleList& modules, std::uint64_t address);

// The "Modules:" lines of the report.
std::string FormatModuleList(const ModuleList& modules);

}  // namespace crashhandler
