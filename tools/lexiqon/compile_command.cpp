#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "arguments.h"
#include "commands.h"
#include "dictionary_files.h"
#include "tessvik/compiled_file.h"
#include "tessvik/dictionary.h"
#include "text_output.h"

namespace lexiqon {
namespace {

using tessvik::CompiledEntry;
using tessvik::CompiledFormat;

CompiledFormat FormatOptions(const Arguments& args) {
  CompiledFormat format;
  const std::string version = args.Value("--format", "2.1");
  if (version == "1.0" || version == "1.5" || version == "2.0" || version == "2.1") {
    format.major = static_cast<std::uint8_t>(version[0] - '0');
    format.minor = static_cast<std::uint8_t>(version[2] - '0');
  } else {
    throw UsageError("--format takes 1.0, 1.5, 2.0 or 2.1");
  }
  format.bigEndian = args.Flag("--big-endian");
  if (format.bigEndian && version != "2.1") throw UsageError("--big-endian needs --format 2.1");
  const std::string encoding = args.Value("--value-encoding", "utf16");
  if (encoding == "utf16") {
    format.valueEncoding = 0;
  } else if (encoding == "utf8" || encoding == "ansi") {
    if (format.major != 1) throw UsageError("--value-encoding " + encoding + " needs format 1.x");
    format.valueEncoding = encoding == "utf8" ? 1 : 2;
  } else {
    throw UsageError("--value-encoding takes utf16, utf8 or ansi");
  }
  return format;
}

// Every key must give the same text from the compiled bytes as from the
// source; an 8-bit value encoding may not hold every character.
bool SameLookups(const std::string& bytes, const std::vector<CompiledEntry>& entries,
                 std::ostream& out) {
  tessvik::Dictionary compiled;
  std::istringstream stream(bytes, std::ios::binary);
  compiled.Load(stream);
  bool same = compiled.IsValid();
  const std::vector<CompiledEntry> loaded = compiled.Entries();
  std::map<std::string, std::u16string> byKey;
  for (const CompiledEntry& entry : loaded) byKey[entry.key] = entry.value;
  for (const CompiledEntry& entry : entries) {
    const auto found = byKey.find(entry.key);
    if (found != byKey.end() && found->second == entry.value) continue;
    out << "lexiqon: the value of \"" << entry.key
        << "\" does not survive this format: " << ToUtf8(entry.value) << '\n';
    same = false;
  }
  return same;
}

}  // namespace

int RunCompile(const std::vector<std::string>& words, std::ostream& out) {
  const Arguments args(words, {{"--big-endian"}, {"-o", "--format", "--value-encoding"}});
  const CompiledFormat format = FormatOptions(args);
  if (args.Operands().size() != 1) throw UsageError("give one input file");
  const std::string output = args.Value("-o", "");
  if (output.empty()) throw UsageError("give the output file with -o");
  tessvik::Dictionary source;
  LoadFiles(source, {args.Operands().front()});
  if (!source.IsValid()) {
    out << "lexiqon: " << args.Operands().front() << " is not a valid dictionary (see check)\n";
    return 1;
  }
  const std::vector<CompiledEntry> entries = source.Entries();
  std::string bytes;
  try {
    bytes = tessvik::WriteCompiled(entries, format);
  } catch (const std::invalid_argument& error) {
    out << "lexiqon: " << error.what() << '\n';
    return 1;
  }
  if (!SameLookups(bytes, entries, out)) return 1;
  WriteFileAtomically(output, bytes);
  return 0;
}

}  // namespace lexiqon
