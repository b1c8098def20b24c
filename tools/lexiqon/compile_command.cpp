#include <algorithm>
#include <ostream>
#include <stdexcept>

#include "analysis.h"
#include "commands.h"
#include "dictionary_files.h"
#include "errors.h"
#include "output_file.h"
#include "statistics.h"
#include "tessvik/compiled_file.h"
#include "tessvik/dictionary.h"
#include "text_output.h"

namespace lexiqon {
namespace {

using tessvik::CompiledEntry;
using tessvik::CompiledFormat;

CompiledFormat FormatOptions(const CompileOptions& options) {
  CompiledFormat format = ParseFormat(options.format);
  format.bigEndian = options.bigEndian;
  if (format.bigEndian && options.format != "2.1") {
    throw UsageError("--big-endian needs --format 2.1");
  }
  if (options.valueEncoding != "utf16") {
    if (format.major != 1) {
      throw UsageError("--value-encoding " + options.valueEncoding + " needs format 1.x");
    }
    format.valueEncoding = options.valueEncoding == "ansi" ? 2 : 1;
  }
  return format;
}

// Every key must give the same text from the compiled bytes as from the
// source; an 8-bit value encoding may not hold every character. Both lists
// are sorted by key.
bool SameLookups(const std::string& bytes, const AnalysedFile& file, Reporter& report) {
  tessvik::Dictionary compiled;
  LoadBytes(compiled, bytes);
  bool same = compiled.IsValid();
  const std::vector<CompiledEntry> loaded = compiled.Entries();
  auto found = loaded.begin();
  for (const CompiledEntry& entry : file.entries) {
    while (found != loaded.end() && found->key < entry.key) ++found;
    if (found != loaded.end() && found->key == entry.key && found->value == entry.value) continue;
    report.Error(
        Place(file, entry.key),
        "the value of \"" + entry.key + "\" does not survive this format: " + ToUtf8(entry.value));
    same = false;
  }
  return same;
}

// With --force: what the format can hold, the rest having been reported.
void DropWhatCannotBeHeld(std::vector<CompiledEntry>& entries, const CompiledFormat& format) {
  if (format.major != 2) return;
  std::erase_if(entries, [](const CompiledEntry& entry) {
    return entry.key.empty() || entry.key.size() > 65535 || entry.value.size() > 32767;
  });
}

}  // namespace

int RunCompile(const CompileOptions& options, Context& context) {
  Reporter& report = context.report;
  const int errorsBefore = report.Errors();
  AnalysisOptions analysis;
  analysis.inputFormat = options.inputFormat;
  analysis.inputEncoding = options.inputEncoding;
  analysis.target = FormatOptions(options);
  analysis.pluralForm = options.pluralForm;
  AnalysedFile file = Analyse(options.input, analysis, report);
  const int errors = report.Errors() - errorsBefore;
  if (errors != 0 && !options.force) {
    report.Error(options.input, std::to_string(errors) + (errors == 1 ? " error" : " errors") +
                                    ", so " + options.output +
                                    " is not written (--force writes it anyway)");
    return 1;
  }
  if (options.force) DropWhatCannotBeHeld(file.entries, analysis.target);
  std::string compiled;
  try {
    compiled = tessvik::WriteCompiled(file.entries, analysis.target);
  } catch (const std::invalid_argument& error) {
    report.Error(options.input, error.what());
    return 1;
  }
  // UTF-16 values are stored unchanged; only an 8-bit encoding can lose text.
  if (analysis.target.valueEncoding != 0 && !SameLookups(compiled, file, report) &&
      !options.force) {
    return 1;
  }
  WriteOutput(options.output, compiled);
  if (options.statistics) PrintStatistics(file.counts, report.Stream());
  return report.Errors() == errorsBefore ? 0 : 1;
}

}  // namespace lexiqon
