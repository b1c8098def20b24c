#include <algorithm>
#include <ostream>

#include "commands.h"
#include "dictionary_files.h"
#include "output_file.h"
#include "tessvik/dictionary.h"
#include "tessvik/text_lines.h"

namespace lexiqon {

int RunDecompile(const DecompileOptions& options, Context& context) {
  tessvik::Dictionary source;
  LoadFiles(source, {options.input});
  int status = 0;
  if (!source.IsValid()) {
    context.report.Warning(options.input, "not a valid dictionary; writing what it holds");
    status = 1;
  }
  std::vector<tessvik::CompiledEntry> entries = source.Entries();
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.key < b.key; });
  std::u16string text = u"\uFEFF";
  for (const tessvik::CompiledEntry& entry : entries) {
    if (!tessvik::CanWriteKey(entry.key)) {
      context.report.Error(options.input,
                           "key \"" + entry.key + "\" cannot be written as a text line; skipped");
      status = 1;
      continue;
    }
    tessvik::AppendTextLine(text, entry.key, entry.value);
  }
  WriteOutput(options.output, LittleEndianBytes(text));
  return status;
}

}  // namespace lexiqon
