#include "options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <ostream>

#include "report_text.h"

namespace speedlauncher {
namespace {

// Refusals that say in plain words what the option takes.
std::string WholeNumber(std::string& text) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc() && end == text.data() + text.size() && !text.empty()) return {};
  return "'" + text + "' is not a whole number from 0 to 4294967295";
}

std::string SecondsAboveZero(std::string& text) {
  try {
    std::size_t used = 0;
    const double value = std::stod(text, &used);
    if (used == text.size() && value > 0 && std::isfinite(value)) return {};
  } catch (const std::exception&) {
    // Not a number at all: the same answer.
  }
  return "'" + text + "' is not a number of seconds above 0 (such as 2.5)";
}

void AddListOptions(CLI::App& command, Options& options) {
  command
      .add_option("--mode", options.mode, "launch mode choosing the list file and list (default 5)")
      ->check(CLI::Validator(WholeNumber, "", "whole number"))
      ->type_name("N");
  command
      .add_option("--dir", options.directory,
                  "the launcher's folder: where the mode's list lies and what relative entries "
                  "are based on (default: the list's folder with --list, else this tool's)")
      ->type_name("DIR");
  command
      .add_option("--list", options.listFile,
                  "read this list file instead of the mode's; - for standard input")
      ->type_name("FILE");
}

void Describe(CLI::App& app, Options& options) {
  app.require_subcommand(1);
  app.set_help_all_flag("--help-all", "print the help of every command and exit");
  app.set_version_flag("--version", "speedlauncher " PELLICOR_VERSION);
  app.footer(
      "Lists are read, expanded and warmed exactly as the launcher lying in the folder would.\n"
      "Run 'speedlauncher COMMAND --help' for a command's options and examples.\n");

  CLI::App* expand =
      app.add_subcommand("expand", "print every item of every list: list, F/B, path");
  AddListOptions(*expand, options);
  CLI::Option* paths =
      expand->add_flag("--paths", options.pathsOnly, "print the paths alone, one per line");
  CLI::Option* null =
      expand->add_flag("-0,--null", options.nulSeparated,
                       "paths alone, each ended by NUL (for xargs -0 and vmtouch -0 -b -)");
  expand->add_flag("-l,--long", options.perFile, "add each file's size")->excludes(null);
  expand->add_flag("--json", options.json, "print the items as one JSON object")
      ->excludes(null)
      ->excludes(paths);
  expand->footer(
      "Examples:\n"
      "  speedlauncher expand --dir /opt/pellicor\n"
      "  speedlauncher expand -0 --dir /opt/pellicor | xargs -0 ls -l\n"
      "  speedlauncher expand -0 --dir /opt/pellicor | vmtouch -0 -b -\n");

  CLI::App* check =
      app.add_subcommand("check", "report the list's mistakes with line numbers; exit 1 on errors");
  AddListOptions(*check, options);
  check->add_flag("--json", options.json, "print the findings as one JSON object");
  check->footer(
      "Examples:\n"
      "  speedlauncher check --dir /opt/pellicor\n"
      "  speedlauncher check --list my.xml --mode 3\n");

  CLI::App* warm = app.add_subcommand(
      "warm", "read the mode's foreground files as the launcher does and print a summary");
  AddListOptions(*warm, options);
  warm->add_flag("--json", options.json, "print the summary as one JSON object");
  warm->add_flag("--strict", options.strict, "exit 1 when anything named could not be read");
  warm->footer(
      "Examples:\n"
      "  speedlauncher warm --dir /opt/pellicor\n"
      "  speedlauncher warm --strict --json --list my.xml\n");

  CLI::App* resident =
      app.add_subcommand("resident", "how much of the files warm reads is in the page cache now");
  AddListOptions(*resident, options);
  resident->add_flag("-l,--long", options.perFile, "one line per file");
  resident->add_flag("--pages", options.pages, "show page counts too");
  resident->add_flag("--json", options.json, "print the result as one JSON object");
  resident->footer(
      "Files the caller may not write are \"unknown (not permitted)\": the system does not tell.\n"
      "Examples:\n"
      "  speedlauncher resident -l --pages --dir /opt/pellicor\n"
      "  speedlauncher evict --list my.xml && speedlauncher resident --list my.xml\n");

  CLI::App* evict = app.add_subcommand("evict", "drop the files warm reads from the page cache");
  AddListOptions(*evict, options);
  evict->footer(
      "Example, a cold start:\n"
      "  speedlauncher evict --dir /opt/pellicor && time /opt/pellicor/Pellicor --exit 0\n");

  CLI::App* record = app.add_subcommand(
      "record", "run a program and write the list of the files it read and left unchanged");
  record->add_option("-o,--output", options.output, "the list file to write; - for standard output")
      ->required()
      ->type_name("LIST.xml");
  record
      ->add_option("--seconds", options.seconds,
                   "stop recording after this many seconds; the program runs on untraced")
      ->check(CLI::Validator(SecondsAboveZero, "", "seconds"))
      ->type_name("N");
  record->add_option("program", options.program, "the program and its arguments, after --")
      ->required()
      ->type_name("COMMAND [ARG...]");
  record->footer(
      "Exits with the program's status (128 + the signal that ended it); 125 when it cannot\n"
      "be traced, 126 or 127 when it cannot be run, 1 when the list cannot be written.\n"
      "Examples:\n"
      "  speedlauncher record -o my.xml -- /opt/pellicor/Pellicor --exit 0\n"
      "  speedlauncher record -o my.xml --seconds 5 -- /opt/pellicor/Pellicor\n");
}

// "DIR/" is the folder "DIR": the launcher's joins add their own "/".
std::string WithoutTrailingSeparators(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& errors) {
  Options options;
  CLI::App app("Expand, check, warm and measure the launcher's prefetch lists.", "speedlauncher");
  Describe(app, options);
  // A mistyped command is named as such, not taken for a missing one.
  const auto named = [&argv](CLI::App* command) { return command->check_name(argv[1]); };
  if (argc > 1 && argv[1][0] != '-' && app.get_subcommands(named).empty()) {
    errors << "speedlauncher: '" << Printable(argv[1])
           << "' is not a command: expand, check, warm, resident, evict or record\n"
           << "Try 'speedlauncher --help' for more information.\n";
    return {std::nullopt, 2};
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return {std::nullopt, CheckedOutput(0, out, errors)};
  } catch (const CLI::CallForAllHelp&) {
    out << app.help("", CLI::AppFormatMode::All);
    return {std::nullopt, CheckedOutput(0, out, errors)};
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << '\n';
    return {std::nullopt, CheckedOutput(0, out, errors)};
  } catch (const CLI::ParseError& error) {
    const CLI::App* command = app.get_subcommands().empty() ? nullptr : app.get_subcommands()[0];
    errors << "speedlauncher: " << error.what() << "\n"
           << "Try 'speedlauncher " << (command != nullptr ? command->get_name() + " " : "")
           << "--help' for more information.\n";
    return {std::nullopt, 2};
  }
  options.command = app.get_subcommands().front()->get_name();
  if (options.nulSeparated) options.pathsOnly = true;
  options.directory = WithoutTrailingSeparators(options.directory);
  return {options, 0};
}

}  // namespace speedlauncher
