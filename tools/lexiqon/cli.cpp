// The command line: options of every command, help, version and the exit
// statuses of usage and file errors.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ostream>

#include "commands.h"
#include "errors.h"
#include "tessvik/hl_err_exception.h"

namespace lexiqon {
namespace {

constexpr char kFooter[] =
    "Files may be \"-\" for standard input; \"-o -\" writes to standard output.\n"
    "Exit status: 0 when all is well, 1 for findings, 2 for usage errors and files\n"
    "that cannot be read or written. Run 'lexiqon COMMAND --help' for a command's\n"
    "options and examples.\n"
    "\n"
    "Examples:\n"
    "  lexiqon check fr.txt\n"
    "  lexiqon compile fr.po -o Dictionaries/fr_FR/lexdictionary.dat\n"
    "  lexiqon lookup -d lexdictionary.dat '$$$/Frontend/FEAppStartupErrorTitle=Error'";

constexpr char kLookupExamples[] =
    "Examples:\n"
    "  lexiqon lookup -d lexdictionary.dat '$$$/Frontend/FEAppStartupErrorTitle=Error'\n"
    "  lexiqon lookup -d app.dat -d Dictionaries/lexdictionary.dat --units '$$$/Frontend/Title='";
constexpr char kContainsExamples[] =
    "Examples:\n"
    "  lexiqon contains -d lexdictionary.dat '$$$/Frontend/FEAppStartupErrorTitle'";
constexpr char kCheckExamples[] =
    "Examples:\n"
    "  lexiqon check fr.txt\n"
    "  lexiqon check --statistics fr.po\n"
    "  lexiqon check --together app/lexdictionary.dat shared/lexdictionary.dat";
constexpr char kCompileExamples[] =
    "Examples:\n"
    "  lexiqon compile lexdictionary.txt -o lexdictionary.dat\n"
    "  lexiqon compile --statistics fr.po -o fr.dat\n"
    "  lexiqon compile --format 1.5 --value-encoding utf8 old.txt -o old.dat";
constexpr char kDecompileExamples[] =
    "Examples:\n"
    "  lexiqon decompile lexdictionary.dat -o -\n"
    "  lexiqon decompile en.dat --to po --template -o pellicor.pot\n"
    "  lexiqon decompile fr_FR/lexdictionary.dat --to po --source en.dat -o fr.po";
constexpr char kCompareExamples[] =
    "Examples:\n"
    "  lexiqon compare fr.dat en.dat\n"
    "  lexiqon compare fr.po pellicor.pot";
constexpr char kStatsExamples[] =
    "Examples:\n"
    "  lexiqon stats lexdictionary.dat\n"
    "  lexiqon stats --json Dictionaries/*/lexdictionary.dat";

constexpr const char* kCommands[] = {"lookup",    "contains", "check", "compile",
                                     "decompile", "compare",  "stats"};

// Both spellings of an encoding name, any case: "UTF8" and "utf-8" alike.
std::string Spelling(std::string name) {
  std::erase(name, '-');
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

// An encoding option's value in the one spelling the commands compare.
CLI::Option* Encoding(CLI::Option* option, const std::vector<std::string>& names) {
  option->transform(CLI::Validator(
      [names](std::string& value) {
        for (const std::string& name : names) {
          if (Spelling(name) == Spelling(value)) {
            value = name;
            return std::string();
          }
        }
        std::string list;
        for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
        return "'" + value + "' is none of " + list;
      },
      "", ""));
  return option;
}

struct AllOptions {
  LookupOptions lookup;
  LookupOptions contains;
  CheckOptions check;
  CompileOptions compile;
  DecompileOptions decompile;
  CompareOptions compare;
  StatsOptions stats;
};

// What the files are when neither the name nor the content should say.
void AddInputFormat(CLI::App* sub, std::string& format) {
  sub->add_option("--input-format", format,
                  "text, po or pot (default: by the name's .po or .pot, else by the content)")
      ->check(CLI::IsMember({"text", "po", "pot"}));
}

// Every command that reads a PO file keeps the same plural form compile keeps.
void AddPluralForm(CLI::App* sub, int& pluralForm) {
  sub->add_option("--plural-form", pluralForm,
                  "PO: keep form N of plural messages (0 is the first); without it they are "
                  "left out and reported")
      ->type_name("N")
      ->check(CLI::Range(0, 255));
}

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
  Encoding(sub->add_option("--encoding", o.encoding,
                           "with --raw: how default texts are decoded, utf-8 or ansi"),
           {"utf-8", "ansi"});
  AddInputFormat(sub, o.inputFormat);
  AddPluralForm(sub, o.pluralForm);
  sub->add_option("TEXT", o.texts, "texts such as '$$$/Path/Name=default'")->required();
  sub->footer(kLookupExamples);
  return sub;
}

CLI::App* AddContains(CLI::App& app, LookupOptions& o) {
  CLI::App* sub =
      app.add_subcommand("contains", "Print true or false: does a dictionary name TEXT");
  sub->add_option("-d,--dictionary", o.dictionaries, "a dictionary file; repeat for more")
      ->required()
      ->allow_extra_args(false)
      ->type_name("FILE");
  AddInputFormat(sub, o.inputFormat);
  AddPluralForm(sub, o.pluralForm);
  sub->add_option("TEXT", o.texts, "texts such as '$$$/Path/Name'")->required();
  sub->footer(kContainsExamples);
  return sub;
}

// How check and compile read a source.
void AddSourceOptions(CLI::App* sub, std::string& format, std::string& encoding, int& pluralForm) {
  AddInputFormat(sub, format);
  Encoding(sub->add_option("--input-encoding", encoding,
                           "text sources: utf-8, utf-16 or ansi (default: by the byte-order mark)"),
           {"utf-8", "utf-16", "ansi"});
  AddPluralForm(sub, pluralForm);
}

CLI::App* AddCheck(CLI::App& app, CheckOptions& o) {
  CLI::App* sub = app.add_subcommand(
      "check", "Report lines that compile or the launcher would not read as meant");
  sub->add_flag("--together", o.together,
                "load the files in order into one dictionary, as the launcher layers them");
  AddSourceOptions(sub, o.inputFormat, o.inputEncoding, o.pluralForm);
  sub->add_option("--format", o.format, "the compiled version whose limits apply (default 2.1)")
      ->check(CLI::IsMember({"1.0", "1.5", "2.0", "2.1"}));
  sub->add_flag("--statistics", o.statistics, "print entry and replacement counts");
  sub->add_option("FILE", o.files, "text, compiled or PO dictionaries")->required();
  sub->footer(kCheckExamples);
  return sub;
}

CLI::App* AddCompile(CLI::App& app, CompileOptions& o) {
  CLI::App* sub = app.add_subcommand("compile", "Compile a text dictionary or PO file");
  sub->add_option("-o,--output", o.output, "the compiled file, or - for standard output")
      ->required()
      ->type_name("OUT");
  sub->add_option("--format", o.format, "compiled version (default 2.1)")
      ->check(CLI::IsMember({"1.0", "1.5", "2.0", "2.1"}));
  sub->add_flag("--big-endian", o.bigEndian, "big-endian numbers (version 2.1)");
  Encoding(sub->add_option("--value-encoding", o.valueEncoding,
                           "value encoding (versions 1.x): utf-16, utf-8 or ansi"),
           {"utf16", "utf8", "ansi"});
  AddSourceOptions(sub, o.inputFormat, o.inputEncoding, o.pluralForm);
  sub->add_flag("--force", o.force, "write the file even when the source has errors");
  sub->add_flag("--statistics", o.statistics,
                "print entries, replaced keys, untranslated and fuzzy messages left out");
  sub->add_option("IN", o.input, "the text dictionary or PO file, or - for standard input")
      ->required();
  sub->footer(kCompileExamples);
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
  sub->add_option("--language", o.language,
                  "po: the header's Language (default: the dictionary's folder, as fr_FR)")
      ->type_name("LANG");
  AddInputFormat(sub, o.inputFormat);
  AddPluralForm(sub, o.pluralForm);
  sub->add_option("IN", o.input, "the dictionary, or - for standard input")->required();
  sub->footer(kDecompileExamples);
  return sub;
}

CLI::App* AddCompare(CLI::App& app, CompareOptions& o) {
  CLI::App* sub = app.add_subcommand(
      "compare", "List the keys that one file has and the other lacks; exit 1 when they differ");
  AddInputFormat(sub, o.inputFormat);
  AddPluralForm(sub, o.pluralForm);
  sub->add_option("A", o.first, "a dictionary or PO file")->required();
  sub->add_option("B", o.second, "a dictionary or PO file")->required();
  sub->footer(kCompareExamples);
  return sub;
}

CLI::App* AddStats(CLI::App& app, StatsOptions& o) {
  CLI::App* sub = app.add_subcommand(
      "stats", "Print format, byte order, entries, mode and chain lengths of each file");
  sub->add_flag("--json", o.json, "one JSON object per file");
  AddInputFormat(sub, o.inputFormat);
  AddPluralForm(sub, o.pluralForm);
  sub->add_option("FILE", o.files, "dictionary or PO files")->required();
  sub->footer(kStatsExamples);
  return sub;
}

// CLI11's "The following argument was not expected: --frob" as the tool
// says it.
std::string Unexpected(const std::string& message) {
  const std::size_t colon = message.find(": ");
  const std::string words = colon == std::string::npos ? message : message.substr(colon + 2);
  const std::string first = words.substr(0, words.find(' '));
  return (first.starts_with("-") ? "unknown option '" : "unexpected argument '") + first + "'";
}

std::string Hex(std::uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", code);
  return text;
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

  // The command named, for the hint; the first word that is no option.
  const auto named = std::find_if(words.begin(), words.end(), [](const std::string& word) {
    return word.empty() || word[0] != '-';
  });
  const std::string command = named == words.end() ? "" : *named;
  const bool known =
      std::find(std::begin(kCommands), std::end(kCommands), command) != std::end(kCommands);
  const std::string hint = "Try 'lexiqon " + (known ? command + " " : std::string()) + "--help'.\n";
  if (!command.empty() && !known && named == words.begin()) {
    err << "lexiqon: unknown command '" << command << "'\n" << hint;
    return 2;
  }
  for (auto word = words.begin(); word != named; ++word) {
    if (*word != "-h" && *word != "--help" && *word != "--version") {
      err << "lexiqon: unknown option '" << *word << "'\n" << hint;
      return 2;
    }
  }

  Reporter report(err);
  Context context{out, report};
  int status = 0;
  try {
    std::vector<std::string> reversed(words.rbegin(), words.rend());  // as CLI11 takes them
    app.parse(reversed);
    status = Dispatch(app, options, context);
  } catch (const CLI::CallForHelp& request) {
    return app.exit(request, out, err);
  } catch (const CLI::CallForAllHelp& request) {
    return app.exit(request, out, err);
  } catch (const CLI::CallForVersion& request) {
    return app.exit(request, out, err);
  } catch (const CLI::ExtrasError& error) {
    err << "lexiqon: " << Unexpected(error.what()) << '\n' << hint;
    return 2;
  } catch (const CLI::RequiredError& error) {
    // CLI11 asks for required options before it looks at unknown ones.
    for (const std::string& word : app.remaining(true)) {
      if (word.size() > 1 && word[0] == '-') {
        err << "lexiqon: unknown option '" << word << "'\n" << hint;
        return 2;
      }
    }
    if (app.get_subcommands().empty()) {
      err << "lexiqon: a command is required: lookup, contains, check, compile, decompile, "
             "compare or stats\n"
          << hint;
    } else {
      err << "lexiqon: " << error.what() << '\n' << hint;
    }
    return 2;
  } catch (const CLI::ParseError& error) {
    err << "lexiqon: " << error.what() << '\n' << hint;
    return 2;
  } catch (const UsageError& error) {
    err << "lexiqon: " << error.what() << '\n' << hint;
    return 2;
  } catch (const FileError& error) {
    err << "lexiqon: " << error.what() << '\n';
    return 2;
  } catch (const tessvik::HLErrException& error) {
    report.Error(command, "text conversion failed (code 0x" + Hex(error.Code()) + ")");
    return 1;
  }
  // Results that never reached standard output are the caller's to report
  // when it flushes: main says so with exit status 2.
  // An error line never comes with a success.
  return status == 0 && report.Errors() != 0 ? 1 : status;
}

}  // namespace lexiqon
