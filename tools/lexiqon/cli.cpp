// The command line: options of every command, help, version and the exit
// statuses of usage and file errors.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <ostream>

#include "commands.h"
#include "errors.h"
#include "tessvik/hl_err_exception.h"

namespace lexiqon {
namespace {

constexpr char kFooter[] =
    "Files may be \"-\" for standard input; \"-o -\" writes to standard output.\n"
    "Exit status: 0 when all is well, 1 for findings, 2 for usage errors and files\n"
    "that cannot be read or written.\n"
    "\n"
    "Examples:\n"
    "  lexiqon compile lexdictionary.txt -o lexdictionary.dat\n"
    "  lexiqon check lexdictionary.txt\n"
    "  lexiqon lookup -d lexdictionary.dat '$$$/Frontend/FEAppStartupErrorTitle=Error'\n"
    "  lexiqon decompile lexdictionary.dat -o -\n"
    "  lexiqon decompile fr.dat --to po --source en.dat -o fr.po\n"
    "  lexiqon compile fr.po -o fr.dat";

struct AllOptions {
  LookupOptions lookup;
  LookupOptions contains;
  CheckOptions check;
  CompileOptions compile;
  DecompileOptions decompile;
  CompareOptions compare;
  StatsOptions stats;
};

CLI::App* AddLookup(CLI::App& app, LookupOptions& o) {
  CLI::App* sub = app.add_subcommand(
      "lookup",
      "Print what the launcher shows for each TEXT with the dictionaries loaded in order");
  sub->add_option("-d,--dictionary", o.dictionaries, "a dictionary file; repeat for more")
      ->required()
      ->allow_extra_args(false)
      ->type_name("FILE");
  sub->add_flag("--units", o.units, "print UTF-16 code units in hex instead of UTF-8");
  sub->add_flag("--raw", o.raw, "ask the dictionary directly, without the launcher's rules");
  sub->add_option("--encoding", o.encoding, "with --raw: how default texts are decoded")
      ->check(CLI::IsMember({"utf8", "ansi"}));
  sub->add_option("TEXT", o.texts, "texts such as '$$$/Path/Name=default'")->required();
  return sub;
}

CLI::App* AddContains(CLI::App& app, LookupOptions& o) {
  CLI::App* sub =
      app.add_subcommand("contains", "Print true or false: does a dictionary name TEXT");
  sub->add_option("-d,--dictionary", o.dictionaries, "a dictionary file; repeat for more")
      ->required()
      ->allow_extra_args(false)
      ->type_name("FILE");
  sub->add_option("TEXT", o.texts, "texts such as '$$$/Path/Name'")->required();
  return sub;
}

CLI::App* AddCheck(CLI::App& app, CheckOptions& o) {
  CLI::App* sub = app.add_subcommand(
      "check", "Report lines that compile or the launcher would not read as meant");
  sub->add_flag("--together", o.together,
                "load the files in order into one dictionary, as the launcher layers them");
  sub->add_option("--input-encoding", o.inputEncoding,
                  "text sources: utf-8, utf-16 or ansi (default: by the byte-order mark)")
      ->check(CLI::IsMember({"utf-8", "utf-16", "ansi"}));
  sub->add_flag("--statistics", o.statistics, "print entry and replacement counts");
  sub->add_option("FILE", o.files, "text or compiled dictionaries")->required();
  return sub;
}

CLI::App* AddCompile(CLI::App& app, CompileOptions& o) {
  CLI::App* sub = app.add_subcommand("compile", "Compile a text dictionary");
  sub->add_option("-o,--output", o.output, "the compiled file, or - for standard output")
      ->required()
      ->type_name("OUT");
  sub->add_option("--format", o.format, "compiled version (default 2.1)")
      ->check(CLI::IsMember({"1.0", "1.5", "2.0", "2.1"}));
  sub->add_flag("--big-endian", o.bigEndian, "big-endian numbers (version 2.1)");
  sub->add_option("--value-encoding", o.valueEncoding, "value encoding (versions 1.x)")
      ->check(CLI::IsMember({"utf16", "utf8", "ansi"}));
  sub->add_option("--input-encoding", o.inputEncoding,
                  "text sources: utf-8, utf-16 or ansi (default: by the byte-order mark)")
      ->check(CLI::IsMember({"utf-8", "utf-16", "ansi"}));
  sub->add_option("--input-format", o.inputFormat, "text or po (default: po for *.po files)")
      ->check(CLI::IsMember({"text", "po"}));
  sub->add_flag("--statistics", o.statistics,
                "print entries, replaced keys, untranslated and fuzzy messages left out");
  sub->add_option("IN", o.input, "the text dictionary or PO file, or - for standard input")
      ->required();
  return sub;
}

CLI::App* AddDecompile(CLI::App& app, DecompileOptions& o) {
  CLI::App* sub = app.add_subcommand(
      "decompile", "Write any dictionary as UTF-16 text or as a PO file, sorted by key");
  sub->add_option("-o,--output", o.output, "the text file, or - for standard output")
      ->required()
      ->type_name("OUT");
  sub->add_option("--to", o.to, "text (default) or po")->check(CLI::IsMember({"text", "po"}));
  sub->add_option("--source", o.source, "po: the source language's dictionary, for msgid")
      ->type_name("DICT");
  sub->add_flag("--template", o.asTemplate, "po: leave every msgstr empty");
  sub->add_option("IN", o.input, "the dictionary, or - for standard input")->required();
  return sub;
}

CLI::App* AddCompare(CLI::App& app, CompareOptions& o) {
  CLI::App* sub = app.add_subcommand(
      "compare", "List the keys that one file has and the other lacks; exit 1 when they differ");
  sub->add_option("A", o.first, "a dictionary or PO file")->required();
  sub->add_option("B", o.second, "a dictionary or PO file")->required();
  return sub;
}

CLI::App* AddStats(CLI::App& app, StatsOptions& o) {
  CLI::App* sub = app.add_subcommand(
      "stats", "Print format, byte order, entries, mode and chain lengths of each file");
  sub->add_flag("--json", o.json, "one JSON object per file");
  sub->add_option("FILE", o.files, "dictionary files")->required();
  return sub;
}

int Dispatch(CLI::App& app, const AllOptions& o, Context& context) {
  const std::string name = app.get_subcommands().front()->get_name();
  if (name == "lookup") return RunLookup(o.lookup, context);
  if (name == "contains") return RunContains(o.contains, context);
  if (name == "check") return RunCheck(o.check, context);
  if (name == "compile") return RunCompile(o.compile, context);
  if (name == "decompile") return RunDecompile(o.decompile, context);
  if (name == "compare") return RunCompare(o.compare, context);
  return RunStats(o.stats, context);
}

}  // namespace

int RunLexiqon(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  CLI::App app("Compile, check, look up and convert Pellicor's localization dictionaries.",
               "lexiqon");
  app.set_version_flag("--version", "lexiqon " LEXIQON_VERSION);
  app.require_subcommand(1);
  app.footer(kFooter);
  AllOptions options;
  AddLookup(app, options.lookup);
  AddContains(app, options.contains);
  AddCheck(app, options.check);
  AddCompile(app, options.compile);
  AddDecompile(app, options.decompile);
  AddCompare(app, options.compare);
  AddStats(app, options.stats);

  Reporter report(err);
  Context context{out, report};
  try {
    std::vector<std::string> reversed(words.rbegin(), words.rend());  // as CLI11 takes them
    app.parse(reversed);
    return Dispatch(app, options, context);
  } catch (const CLI::CallForHelp& request) {
    return app.exit(request, out, err);
  } catch (const CLI::CallForAllHelp& request) {
    return app.exit(request, out, err);
  } catch (const CLI::CallForVersion& request) {
    return app.exit(request, out, err);
  } catch (const CLI::ParseError& error) {
    err << "lexiqon: " << error.what() << "\nTry 'lexiqon --help'.\n";
    return 2;
  } catch (const UsageError& error) {
    err << "lexiqon: " << error.what() << "\nTry 'lexiqon --help'.\n";
    return 2;
  } catch (const FileError& error) {
    err << "lexiqon: " << error.what() << '\n';
    return 2;
  } catch (const tessvik::HLErrException& error) {
    err << "lexiqon: error: text conversion failed (code 0x" << std::hex << error.Code() << std::dec
        << ")\n";
    return 1;
  }
}

}  // namespace lexiqon
