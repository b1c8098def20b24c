#include "input_kind.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "tessvik/compiled_file.h"

namespace lexiqon {
namespace {

bool EndsWith(const std::string& path, const std::string& suffix) {
  if (path.size() <= suffix.size()) return false;
  return std::equal(suffix.rbegin(), suffix.rend(), path.rbegin(), [](char a, char b) {
    return a == std::tolower(static_cast<unsigned char>(b));
  });
}

// The first line that is neither blank nor a comment starts with a PO
// keyword. Text dictionary lines start with a quotation mark or "$$$".
bool LooksLikePo(const std::string& head) {
  std::istringstream lines(head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? head.substr(3) : head);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#') continue;
    const std::string_view text = std::string_view(line).substr(start);
    for (std::string_view keyword : {"msgid", "msgctxt", "domain"}) {
      if (text.starts_with(keyword) && text.size() > keyword.size() &&
          (text[keyword.size()] == ' ' || text[keyword.size()] == '\t' ||
           text[keyword.size()] == '"')) {
        return true;
      }
    }
    return false;
  }
  return false;
}

}  // namespace

InputKind DetectKind(InputFile& file, const std::string& format) {
  const std::string head = file.Head(4096);
  std::istringstream magic(head, std::ios::binary);
  // The magic says more than any option: a load reads such a file as compiled.
  if (tessvik::ReadCompiledFormat(magic)) return InputKind::kCompiled;
  if (format == "text") return InputKind::kText;
  if (format == "po") return InputKind::kPo;
  if (format == "pot") return InputKind::kPot;
  if (EndsWith(file.Path(), ".pot")) return InputKind::kPot;
  if (EndsWith(file.Path(), ".po")) return InputKind::kPo;
  return LooksLikePo(head) ? InputKind::kPo : InputKind::kText;
}

bool IsPoKind(InputKind kind) { return kind == InputKind::kPo || kind == InputKind::kPot; }

}  // namespace lexiqon
