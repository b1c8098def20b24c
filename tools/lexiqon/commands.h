#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "reporter.h"

namespace lexiqon {

// Where a command writes its results and its findings.
struct Context {
  std::ostream& out;
  Reporter& report;
};

struct LookupOptions {
  std::vector<std::string> dictionaries;
  std::vector<std::string> texts;
  bool units = false;
  bool raw = false;
  std::string encoding;     // for --raw: utf-8 or ansi
  std::string inputFormat;  // text, po or pot; empty: by the name and content
  int pluralForm = -1;      // as for check
};

struct CheckOptions {
  std::vector<std::string> files;
  bool together = false;
  bool statistics = false;
  std::string inputFormat;     // text, po or pot; empty: by the name and content
  std::string inputEncoding;   // utf-8, utf-16 or ansi; empty: by the byte-order mark
  std::string format = "2.1";  // the compiled version whose limits apply
  int pluralForm = -1;         // PO: the form of plural messages to keep
};

struct CompileOptions {
  std::string input;
  std::string output;
  std::string format = "2.1";
  bool bigEndian = false;
  std::string valueEncoding = "utf16";
  std::string inputFormat;    // as for check
  std::string inputEncoding;  // as for check
  int pluralForm = -1;        // as for check
  bool statistics = false;
  bool force = false;  // write even when the source has errors
};

struct DecompileOptions {
  std::string input;
  std::string output;
  std::string to = "text";  // or po
  std::string source;       // po: the dictionary whose texts become msgid
  bool asTemplate = false;  // po: empty msgstr
  std::string language;     // po: the header's Language; empty: by the folder's name
  std::string inputFormat;  // as for check
  int pluralForm = -1;      // as for check
};

struct CompareOptions {
  std::string first;
  std::string second;
  std::string inputFormat;  // as for check
  int pluralForm = -1;      // as for check
};

struct StatsOptions {
  std::vector<std::string> files;
  bool json = false;
  std::string inputFormat;  // as for check
  int pluralForm = -1;      // as for check
};

// Each returns the exit status: 0, or 1 for findings. Usage and file
// problems are thrown as UsageError and FileError.
int RunLookup(const LookupOptions& options, Context& context);
int RunContains(const LookupOptions& options, Context& context);
int RunCheck(const CheckOptions& options, Context& context);
int RunCompile(const CompileOptions& options, Context& context);
int RunDecompile(const DecompileOptions& options, Context& context);
int RunCompare(const CompareOptions& options, Context& context);
int RunStats(const StatsOptions& options, Context& context);

// The whole tool: parses the words after the program name, runs the
// command and returns the exit status; results go to out, messages to err.
int RunLexiqon(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

}  // namespace lexiqon
