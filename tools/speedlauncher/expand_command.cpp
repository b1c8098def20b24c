#include <optional>
#include <ostream>

#include "commands.h"
#include "list_loading.h"
#include "platform/directory_listing.h"
#include "report_text.h"

namespace speedlauncher {
namespace {

std::optional<std::uintmax_t> SizeOf(const std::string& path) {
  std::uint64_t size = 0;
  int error = 0;
  if (!platform::SizeOfPath(path, size, error)) return std::nullopt;
  return size;
}

}  // namespace

int RunExpand(const Options& options, std::ostream& out, std::ostream& errors) {
  const char end = options.nulSeparated ? '\0' : '\n';
  bool first = true;  // nothing printed yet: a list that does not load gives no JSON
  // Printed as they are made: a tree of a million files costs no memory.
  ExpansionReport report;
  const bool loaded = ExpandListFor(
      options,
      [&](std::string_view name, const std::string& path, bool isForeground) {
        if (options.json) {
          out << (first ? "{\"items\": [" : ", ") << "{\"list\": " << JsonString(name)
              << ", \"foreground\": " << (isForeground ? "true" : "false")
              << ", \"path\": " << JsonString(path);
          if (options.perFile) {
            const std::optional<std::uintmax_t> size = SizeOf(path);
            out << ", \"bytes\": " << (size ? std::to_string(*size) : "null");
          }
          out << '}';
          first = false;
          return;
        }
        if (!options.pathsOnly) out << name << ' ' << (isForeground ? 'F' : 'B') << ' ';
        if (options.perFile) {
          const std::optional<std::uintmax_t> size = SizeOf(path);
          out << (size ? HumanSize(*size) : "-") << ' ';
        }
        out << path << end;
      },
      errors, &report);
  if (!loaded) return 1;
  if (options.json) {
    out << (first ? "{\"items\": [" : "") << "], \"walk_errors\": " << report.walkErrors << "}\n";
  }
  return report.walkErrors > 0 ? 1 : 0;
}

}  // namespace speedlauncher
