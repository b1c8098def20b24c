#include <filesystem>
#include <map>
#include <ostream>
#include <regex>

#include "commands.h"
#include "dictionary_files.h"
#include "entry_source.h"
#include "output_file.h"
#include "po_file.h"
#include "tessvik/text_lines.h"

namespace lexiqon {
namespace {

std::string TextLines(const DecompileOptions& options, const EntrySource& source,
                      Context& context) {
  std::u16string text = u"\uFEFF";
  for (const tessvik::CompiledEntry& entry : source.entries) {
    if (!tessvik::CanWriteKey(entry.key)) {
      context.report.Error(options.input,
                           "key \"" + entry.key + "\" cannot be written as a text line; skipped");
      continue;
    }
    tessvik::AppendTextLine(text, entry.key, entry.value);
  }
  return LittleEndianBytes(text);
}

// The language a dictionary's folder names, as the launcher finds it:
// Dictionaries/fr_FR/lexdictionary.dat is fr_FR, and so is any folder of
// that form; a bare language code only below a folder "Dictionaries".
// Empty when the folder names no language.
std::string FolderLanguage(const std::string& path) {
  if (path == "-") return "";
  const std::filesystem::path folder =
      std::filesystem::absolute(std::filesystem::path(path)).parent_path();
  const std::string name = folder.filename().string();
  static const std::regex kWithRegion("[a-z]{2,3}[_-]([A-Z]{2}|[0-9]{3})(@[A-Za-z0-9]+)?");
  static const std::regex kCode("[a-z]{2,3}");
  if (std::regex_match(name, kWithRegion)) return name;
  if (std::regex_match(name, kCode) && folder.parent_path().filename() == "Dictionaries") {
    return name;
  }
  return "";
}

std::string PoMessages(const DecompileOptions& options, const EntrySource& source,
                       Context& context) {
  std::map<std::string, std::u16string> sourceTexts;
  if (!options.source.empty()) {
    EntrySource original = ReadEntries(options.source, "", options.pluralForm, context.report);
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
  const std::string language = !options.language.empty() ? options.language
                               : options.asTemplate      ? std::string()
                                                         : FolderLanguage(options.input);
  return WritePo(messages, language, options.input, context.report);
}

}  // namespace

int RunDecompile(const DecompileOptions& options, Context& context) {
  const int errorsBefore = context.report.Errors();
  const EntrySource source =
      ReadEntries(options.input, options.inputFormat, options.pluralForm, context.report);
  if (!source.valid) {
    context.report.Error(options.input, "not a valid dictionary; writing what it holds");
  }
  const std::string bytes = options.to == "po" ? PoMessages(options, source, context)
                                               : TextLines(options, source, context);
  WriteOutput(options.output, bytes);
  return context.report.Errors() == errorsBefore ? 0 : 1;
}

}  // namespace lexiqon
