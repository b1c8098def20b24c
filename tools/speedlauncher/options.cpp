#include "options.h"

#include <CLI/CLI.hpp>
#include <ostream>

namespace speedlauncher {
namespace {

void AddListOptions(CLI::App& command, Options& options) {
  command
      .add_option("--mode", options.mode, "launch mode choosing the list file and list (default 5)")
      ->type_name("N");
  command
      .add_option("--dir", options.directory,
                  "the launcher's folder: where the mode's list lies and what relative entries "
                  "are based on (default: the list's folder with --list, else this tool's)")
      ->type_name("DIR");
  command.add_option("--list", options.listFile, "read this list file instead of the mode's")
      ->type_name("FILE");
}

void Describe(CLI::App& app, Options& options) {
  app.require_subcommand(1);
  app.set_help_all_flag("--help-all", "print the help of every command and exit");
  app.set_version_flag("--version", "speedlauncher " PELLICOR_VERSION);
  app.footer(
      "Lists are read, expanded and warmed exactly as the launcher lying in the folder would.\n"
      "Run 'speedlauncher COMMAND --help' for a command's options.");

  CLI::App* expand =
      app.add_subcommand("expand", "print every item of every list: list, F/B, path");
  AddListOptions(*expand, options);
  expand->add_flag("--paths", options.pathsOnly, "print the paths alone, one per line");
  expand->add_flag("-0,--null", options.nulSeparated,
                   "paths alone, each ended by NUL (for xargs -0 and vmtouch -b)");
  expand->add_flag("-l,--long", options.perFile, "add each file's size");

  CLI::App* check =
      app.add_subcommand("check", "report the list's mistakes with line numbers; exit 1 on errors");
  AddListOptions(*check, options);

  CLI::App* warm = app.add_subcommand(
      "warm", "read the mode's foreground files as the launcher does and print a summary");
  AddListOptions(*warm, options);
  warm->add_flag("--json", options.json, "print the summary as one JSON object");
  warm->add_flag("--strict", options.strict, "exit 1 when anything named could not be read");

  CLI::App* resident =
      app.add_subcommand("resident", "how much of the files warm reads is in the page cache now");
  AddListOptions(*resident, options);
  resident->add_flag("-l,--long", options.perFile, "one line per file");
  resident->add_flag("--json", options.json, "print the result as one JSON object");

  CLI::App* evict = app.add_subcommand("evict", "drop the files warm reads from the page cache");
  AddListOptions(*evict, options);

  CLI::App* record = app.add_subcommand(
      "record", "run a program and write the list of the files it opened for reading");
  record->add_option("-o,--output", options.output, "the list file to write")
      ->required()
      ->type_name("LIST.xml");
  record->add_option("--seconds", options.seconds, "stop recording after this many seconds")
      ->check(CLI::PositiveNumber)
      ->type_name("N");
  record->add_option("program", options.program, "the program and its arguments, after --")
      ->required()
      ->type_name("COMMAND [ARG...]");
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& errors) {
  Options options;
  CLI::App app("Expand, check, warm and measure the launcher's prefetch lists.", "speedlauncher");
  Describe(app, options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return {std::nullopt, 0};
  } catch (const CLI::CallForAllHelp&) {
    out << app.help("", CLI::AppFormatMode::All);
    return {std::nullopt, 0};
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << '\n';
    return {std::nullopt, 0};
  } catch (const CLI::ParseError& error) {
    errors << "speedlauncher: " << error.what() << "\n"
           << "Try 'speedlauncher --help' for more information.\n";
    return {std::nullopt, 2};
  }
  options.command = app.get_subcommands().front()->get_name();
  if (options.nulSeparated) options.pathsOnly = true;
  return {options, 0};
}

}  // namespace speedlauncher
