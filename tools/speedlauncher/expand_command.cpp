#include <boost/filesystem/operations.hpp>
#include <ostream>

#include "commands.h"
#include "list_loading.h"
#include "report_text.h"

namespace speedlauncher {
namespace {

std::string SizeOf(const std::string& path) {
  boost::system::error_code error;
  const std::uintmax_t size = boost::filesystem::file_size(boost::filesystem::path(path), error);
  return error ? "-" : HumanSize(size);
}

}  // namespace

int RunExpand(const Options& options, std::ostream& out, std::ostream& errors) {
  const char end = options.nulSeparated ? '\0' : '\n';
  // Printed as they are made: a tree of a million files costs no memory.
  const bool loaded = ExpandListFor(
      options,
      [&](std::string_view name, const std::string& path, bool isForeground) {
        if (!options.pathsOnly) out << name << ' ' << (isForeground ? 'F' : 'B') << ' ';
        if (options.perFile) out << SizeOf(path) << ' ';
        out << path << end;
      },
      errors);
  return loaded ? 0 : 1;
}

}  // namespace speedlauncher
