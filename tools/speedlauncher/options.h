#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace speedlauncher {

struct Options {
  std::string command;               // "expand", "check", "warm", "resident", "evict" or "record"
  std::uint32_t mode = 5;            // the launcher's own mode
  std::string directory;             // where the launcher is taken to lie; empty: not given
  std::string listFile;              // a list named directly; empty: the mode's file in directory
  bool pathsOnly = false;            // expand: paths alone
  bool nulSeparated = false;         // expand: paths ended by NUL instead of a line end
  bool perFile = false;              // expand: sizes; resident: one line per file
  bool json = false;                 // one JSON object
  bool pages = false;                // resident: page counts too
  bool strict = false;               // warm: exit 1 when anything named could not be read
  std::string output;                // record: the list to write
  double seconds = 0;                // record: stop after this long; 0: when the program ends
  std::vector<std::string> program;  // record: the command and its arguments
};

// What the command line asks for: options to run, or an exit status when
// it was answered (--help, --version: 0) or refused (usage error: 2).
struct ParsedCommandLine {
  std::optional<Options> options;
  int exitStatus = 0;
};

// argv as main gets it. Help and version go to out, usage errors (one line
// and a hint) to errors.
ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& errors);

}  // namespace speedlauncher
