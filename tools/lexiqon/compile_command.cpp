#include <ostream>
#include <stdexcept>

#include "commands.h"
#include "dictionary_files.h"
#include "entry_source.h"
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
  CompiledFormat format;
  format.major = static_cast<std::uint8_t>(options.format[0] - '0');
  format.minor = static_cast<std::uint8_t>(options.format[2] - '0');
  format.bigEndian = options.bigEndian;
  if (format.bigEndian && options.format != "2.1") {
    throw UsageError("--big-endian needs --format 2.1");
  }
  if (options.valueEncoding != "utf16") {
    if (format.major != 1) {
      throw UsageError("--value-encoding " + options.valueEncoding + " needs format 1.x");
    }
    format.valueEncoding = options.valueEncoding == "utf8" ? 1 : 2;
  }
  return format;
}

// Every key must give the same text from the compiled bytes as from the
// source; an 8-bit value encoding may not hold every character. Both lists
// are sorted by key.
bool SameLookups(const std::string& bytes, const std::vector<CompiledEntry>& entries,
                 const std::string& input, Reporter& report) {
  tessvik::Dictionary compiled;
  LoadBytes(compiled, bytes);
  bool same = compiled.IsValid();
  const std::vector<CompiledEntry> loaded = compiled.Entries();
  auto found = loaded.begin();
  for (const CompiledEntry& entry : entries) {
    while (found != loaded.end() && found->key < entry.key) ++found;
    if (found != loaded.end() && found->key == entry.key && found->value == entry.value) continue;
    report.Error(input, "the value of \"" + entry.key +
                            "\" does not survive this format: " + ToUtf8(entry.value));
    same = false;
  }
  return same;
}

LineCounts Counts(const CompileOptions& options, const EntrySource& source, bool po) {
  if (!po) return CountLines(options.input, source.bytes, source.entries.size());
  LineCounts counts;
  counts.path = options.input;
  counts.entries = source.entries.size();
  counts.untranslated = source.leftOut.untranslated;
  counts.fuzzy = source.leftOut.fuzzy;
  return counts;
}

}  // namespace

int RunCompile(const CompileOptions& options, Context& context) {
  const CompiledFormat format = FormatOptions(options);
  const bool po = IsPoInput(options.input, options.inputFormat);
  // Sorted, so that equal contents give equal files whatever the line order.
  const EntrySource source = ReadEntries(options.input, po, context.report, options.inputEncoding);
  if (!source.valid) {
    context.report.Error(options.input, "not a valid dictionary (see lexiqon check)");
    return 1;
  }
  std::string compiled;
  try {
    compiled = tessvik::WriteCompiled(source.entries, format);
  } catch (const std::invalid_argument& error) {
    context.report.Error(options.input, error.what());
    return 1;
  }
  // UTF-16 values are stored unchanged; only an 8-bit encoding can lose text.
  if (format.valueEncoding != 0 &&
      !SameLookups(compiled, source.entries, options.input, context.report)) {
    return 1;
  }
  WriteOutput(options.output, compiled);
  if (options.statistics) PrintStatistics(Counts(options, source, po), context.report.Stream());
  return 0;
}

}  // namespace lexiqon
