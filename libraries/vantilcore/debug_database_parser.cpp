#include "debug_database_parser.h"

namespace vantilcore::debug::detail {
namespace {

constexpr std::string_view kWhitespace = " \t\r\n\f\v";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kWhitespace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

UTF8String ToUtf8String(std::string_view text) {
  if (text.empty()) return {};  // an empty view may carry a null pointer
  return UTF8String(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

void ParseLine(std::string_view line, std::map<UTF8String, UTF8String>& entries) {
  line = Trim(line);
  if (line.empty() || line.front() == '#') return;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  const std::string_view key = Trim(line.substr(0, equals));
  if (key.empty()) return;
  entries[ToUtf8String(key)] = ToUtf8String(Trim(line.substr(equals + 1)));
}

}  // namespace

std::map<UTF8String, UTF8String> ParseDebugDatabase(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::map<UTF8String, UTF8String> entries;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    ParseLine(text.substr(0, end), entries);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return entries;
}

}  // namespace vantilcore::debug::detail
