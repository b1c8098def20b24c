#include <algorithm>
#include <ostream>

#include "arguments.h"
#include "commands.h"
#include "dictionary_files.h"
#include "tessvik/dictionary.h"
#include "tessvik/text_lines.h"

namespace lexiqon {
namespace {

using tessvik::CompiledEntry;

std::string LittleEndianBytes(const std::u16string& units) {
  std::string bytes(units.size() * 2, '\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  return bytes;
}

}  // namespace

int RunDecompile(const std::vector<std::string>& words, std::ostream& out) {
  const Arguments args(words, {{}, {"-o"}});
  if (args.Operands().size() != 1) throw UsageError("give one input file");
  const std::string output = args.Value("-o", "");
  if (output.empty()) throw UsageError("give the output file with -o");
  tessvik::Dictionary source;
  LoadFiles(source, {args.Operands().front()});
  std::u16string text = u"\uFEFF";
  int status = source.IsValid() ? 0 : 1;
  if (status != 0) out << "lexiqon: the input is not a valid dictionary; writing what it holds\n";
  std::vector<CompiledEntry> entries = source.Entries();
  std::sort(entries.begin(), entries.end(),
            [](const CompiledEntry& a, const CompiledEntry& b) { return a.key < b.key; });
  for (const CompiledEntry& entry : entries) {
    if (!tessvik::CanWriteKey(entry.key)) {
      out << "lexiqon: key \"" << entry.key << "\" cannot be written as a text line; skipped\n";
      status = 1;
      continue;
    }
    tessvik::AppendTextLine(text, entry.key, entry.value);
  }
  WriteFileAtomically(output, LittleEndianBytes(text));
  return status;
}

}  // namespace lexiqon
