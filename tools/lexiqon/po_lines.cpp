#include "po_lines.h"

#include <functional>
#include <string_view>

namespace lexiqon {
namespace {

std::string_view TrimStart(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view Keyword(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() &&
         (text[end] == '_' || text[end] == '[' || text[end] == ']' ||
          (text[end] >= 'a' && text[end] <= 'z') || (text[end] >= '0' && text[end] <= '9'))) {
    ++end;
  }
  return text.substr(0, end);
}

// The domain name between the quotation marks, without escapes.
std::string DomainName(std::string_view rest) {
  const std::size_t open = rest.find('"');
  if (open == std::string_view::npos) return std::string(rest);
  const std::size_t close = rest.find('"', open + 1);
  return std::string(
      rest.substr(open + 1, close == std::string_view::npos ? close : close - open - 1));
}

}  // namespace

std::vector<PoPlace> ScanPoPlaces(std::istream& text) {
  std::vector<PoPlace> places;
  std::string domain = "messages";
  std::string signature;
  std::string_view last;    // the last keyword seen
  bool collecting = false;  // continuation lines belong to msgctxt or msgid
  std::uint32_t number = 0;
  const auto finish = [&] {
    if (!places.empty()) places.back().signature = std::hash<std::string>()(signature);
    signature.clear();
  };
  for (std::string raw; std::getline(text, raw);) {
    ++number;
    std::string_view line = TrimStart(raw);
    if (line.starts_with("#~")) {
      line = TrimStart(line.substr(2));
      if (line.starts_with("|")) continue;  // an obsolete message's previous text
    } else if (line.starts_with("#")) {
      continue;
    }
    if (line.starts_with("\"")) {
      if (collecting) signature.append(line).push_back('\n');
      continue;
    }
    const std::string_view keyword = Keyword(line);
    if (keyword.empty()) continue;
    collecting = false;
    if (keyword == "domain") {
      domain = DomainName(line.substr(keyword.size()));
    } else if (keyword == "msgctxt" || (keyword == "msgid" && last != "msgctxt")) {
      finish();
      places.push_back({number, number, domain, 0});
      collecting = true;
    }
    if (keyword == "msgid") {
      if (!places.empty()) places.back().msgidLine = number;
      collecting = true;
    }
    if (collecting) signature.append(line).push_back('\n');
    last = keyword == "msgctxt" ? "msgctxt" : keyword == "msgid" ? "msgid" : "other";
  }
  finish();
  return places;
}

}  // namespace lexiqon
