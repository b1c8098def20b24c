#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "tessvik/hl_err_exception.h"

namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  lexiqon lookup [--units] [--encoding utf8|ansi] -d FILE [-d FILE]... TEXT...\n"
    "  lexiqon contains -d FILE [-d FILE]... TEXT...\n"
    "  lexiqon check FILE...\n"
    "  lexiqon compile [--format 1.0|1.5|2.0|2.1] [--big-endian]\n"
    "                  [--value-encoding utf16|utf8|ansi] IN -o OUT\n"
    "  lexiqon decompile IN -o OUT\n"
    "  lexiqon stats [--json] FILE...\n";

using Command = int (*)(const std::vector<std::string>&, std::ostream&);

int Run(const std::vector<std::string>& words) {
  const std::map<std::string, std::pair<Command, std::ostream*>> commands = {
      {"lookup", {lexiqon::RunLookup, &std::cout}},
      {"contains", {lexiqon::RunContains, &std::cout}},
      {"check", {lexiqon::RunCheck, &std::cout}},
      {"compile", {lexiqon::RunCompile, &std::cerr}},
      {"decompile", {lexiqon::RunDecompile, &std::cerr}},
      {"stats", {lexiqon::RunStats, &std::cout}},
  };
  if (words.empty()) throw lexiqon::UsageError("give a command");
  const auto found = commands.find(words.front());
  if (found == commands.end()) throw lexiqon::UsageError("unknown command " + words.front());
  const std::vector<std::string> rest(words.begin() + 1, words.end());
  return found->second.first(rest, *found->second.second);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const lexiqon::UsageError& error) {
    std::cerr << "lexiqon: " << error.what() << '\n' << kUsage;
    return 2;
  } catch (const lexiqon::FileError& error) {
    std::cerr << "lexiqon: " << error.what() << '\n';
    return 2;
  } catch (const tessvik::HLErrException& error) {
    std::cerr << "lexiqon: text conversion failed (code 0x" << std::hex << error.Code() << ")\n";
    return 1;
  }
}
