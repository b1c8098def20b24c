#include <map>
#include <ostream>

#include "commands.h"
#include "dictionary_files.h"
#include "entry_source.h"
#include "output_file.h"
#include "po_file.h"
#include "tessvik/text_lines.h"

namespace lexiqon {
namespace {

std::string TextLines(const DecompileOptions& options, const EntrySource& source, Context& context,
                      int& status) {
  std::u16string text = u"\uFEFF";
  for (const tessvik::CompiledEntry& entry : source.entries) {
    if (!tessvik::CanWriteKey(entry.key)) {
      context.report.Error(options.input,
                           "key \"" + entry.key + "\" cannot be written as a text line; skipped");
      status = 1;
      continue;
    }
    tessvik::AppendTextLine(text, entry.key, entry.value);
  }
  return LittleEndianBytes(text);
}

std::string PoMessages(const DecompileOptions& options, const EntrySource& source,
                       Context& context) {
  std::map<std::string, std::u16string> sourceTexts;
  if (!options.source.empty()) {
    EntrySource original =
        ReadEntries(options.source, IsPoInput(options.source, ""), context.report);
    for (auto& entry : original.entries) sourceTexts[entry.key] = std::move(entry.value);
  }
  std::vector<PoMessage> messages;
  messages.reserve(source.entries.size());
  for (const tessvik::CompiledEntry& entry : source.entries) {
    const auto original = sourceTexts.find(entry.key);
    const bool haveSource = original != sourceTexts.end();
    if (!options.source.empty() && !haveSource) {
      context.report.Warning(options.source, "key \"" + entry.key + "\" is not here; msgid is " +
                                                 options.input + "'s own text");
    }
    messages.push_back({entry.key, haveSource ? original->second : entry.value,
                        options.asTemplate ? std::u16string() : entry.value});
  }
  return WritePo(messages, context.report);
}

}  // namespace

int RunDecompile(const DecompileOptions& options, Context& context) {
  const EntrySource source = ReadEntries(options.input, false, context.report);
  int status = 0;
  if (!source.valid) {
    context.report.Warning(options.input, "not a valid dictionary; writing what it holds");
    status = 1;
  }
  const std::string bytes = options.to == "po" ? PoMessages(options, source, context)
                                               : TextLines(options, source, context, status);
  if (context.report.Errors() != 0) status = 1;
  WriteOutput(options.output, bytes);
  return status;
}

}  // namespace lexiqon
