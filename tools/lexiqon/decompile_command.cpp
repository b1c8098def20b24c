#include <ostream>
#include <sstream>

#include "dictionary/private/dictionary_entry.h"
#include "dictionary/public/dictionary.h"
#include "tools/lexiqon/arguments.h"
#include "tools/lexiqon/commands.h"
#include "tools/lexiqon/dictionary_files.h"
#include "tools/lexiqon/entry_walk.h"

namespace lexiqon {
namespace {

using tessvik_private::CompiledEntry;

// Characters that escapes, markup or line ends would change on reading
// back are written as character codes, which a load turns back into them.
std::u16string Protect(const std::u16string& value) {
  std::u16string out;
  for (char16_t unit : value) {
    switch (unit) {
      case u'\\':
        out += u"#{5C}";
        break;
      case u'^':
        out += u"#{5E}";
        break;
      case u'#':
        out += u"#{23}";
        break;
      case u'\u2028':
        out += u"#{2028}";
        break;
      case u'\u2029':
        out += u"#{2029}";
        break;
      case u'\0':
        out += u"#{0}";
        break;
      default:
        out.push_back(unit);
    }
  }
  return out;
}

// A key a text line cannot carry: it would end the entry text or the line.
bool Representable(const std::string& key) {
  for (std::size_t i = 0; i < key.size(); ++i) {
    const char byte = key[i];
    if (byte == '=' || byte == '\n' || byte == '\r' || byte == '\0') return false;
    if (byte == '"' && (i == 0 || key[i - 1] != '\\')) return false;
  }
  return true;
}

void WriteEntry(const CompiledEntry& entry, std::ostream& out) {
  // A leading "$" needs the "$$$" prefix that the line parser strips.
  const std::string key = !entry.key.empty() && entry.key[0] == '$' ? "$$$" + entry.key : entry.key;
  const tessvik_private::ByteRunKey search(key.data(), static_cast<std::uint32_t>(key.size()),
                                           false);
  tessvik_private::DictionaryEntry item(search);
  const std::u16string value = Protect(entry.value);
  item.SetValue(
      tessvik_private::MakeUtf16Value(value.data(), static_cast<std::uint32_t>(value.size())));
  item.Write(out, false);
}

}  // namespace

int RunDecompile(const std::vector<std::string>& words, std::ostream& out) {
  const Arguments args(words, {{}, {"-o"}});
  if (args.Operands().size() != 1) throw UsageError("give one input file");
  const std::string output = args.Value("-o", "");
  if (output.empty()) throw UsageError("give the output file with -o");
  tessvik::Dictionary source;
  LoadFiles(source, {args.Operands().front()});
  std::ostringstream text(std::ios::binary);
  text.write("\xFF\xFE", 2);
  int status = source.IsValid() ? 0 : 1;
  if (status != 0) out << "lexiqon: the input is not a valid dictionary; writing what it holds\n";
  for (const CompiledEntry& entry : ReachableEntries(source)) {
    if (!Representable(entry.key)) {
      out << "lexiqon: key \"" << entry.key << "\" cannot be written as a text line; skipped\n";
      status = 1;
      continue;
    }
    WriteEntry(entry, text);
  }
  WriteFileAtomically(output, text.str());
  return status;
}

}  // namespace lexiqon
