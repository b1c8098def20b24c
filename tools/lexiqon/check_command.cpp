#include <fstream>
#include <map>
#include <ostream>

#include "arguments.h"
#include "commands.h"
#include "dictionary_files.h"
#include "tessvik/dictionary.h"
#include "tessvik/text_lines.h"

namespace lexiqon {
namespace {

struct LinePlace {
  std::string file;
  std::uint32_t line;
};

// Reports the lines of text dictionaries that a load drops or replaces,
// numbering lines as an editor does (a carriage return and line feed pair
// is one line end).
class LineChecker {
 public:
  explicit LineChecker(std::ostream& out) : out_(out) {}

  void CheckFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) throw FileError("cannot read " + path);
    tessvik::TextLineReader reader(stream);
    std::uint32_t number = 0;
    char16_t previousEnd = 0;
    std::u16string_view text;
    while (reader.Next(text)) {
      const bool pairEnd = previousEnd == u'\r' && text.empty() && reader.LastTerminator() == u'\n';
      previousEnd = reader.LastTerminator();
      if (pairEnd) continue;
      ++number;
      if (text.empty() || text == u"\uFEFF") continue;
      CheckLine(path, number, text);
    }
  }

 private:
  void CheckLine(const std::string& path, std::uint32_t number, std::u16string_view text) {
    const tessvik::TextLine entry = tessvik::ParseTextLine(text);
    if (!entry.accepted) {
      out_ << path << ':' << number
           << ": entry starts with \"$\" but not \"$$$\"; the dictionary becomes invalid\n";
      return;
    }
    const auto [place, inserted] = lastLine_.try_emplace(entry.key, LinePlace{path, number});
    if (!inserted) {
      out_ << place->second.file << ':' << place->second.line << ": key \"" << entry.key
           << "\" is replaced by " << path << ':' << number << '\n';
      place->second = {path, number};
    }
  }

  std::ostream& out_;
  std::map<std::string, LinePlace> lastLine_;
};

}  // namespace

int RunCheck(const std::vector<std::string>& words, std::ostream& out) {
  const Arguments args(words, {});
  if (args.Operands().empty()) throw UsageError("give at least one FILE");
  tessvik::Dictionary dictionary;
  LineChecker checker(out);
  for (const std::string& path : args.Operands()) {
    if (!IsCompiledFile(path)) checker.CheckFile(path);
    LoadFiles(dictionary, {path});
  }
  out << (dictionary.IsValid() ? "valid" : "invalid") << '\n';
  return dictionary.IsValid() ? 0 : 1;
}

}  // namespace lexiqon
