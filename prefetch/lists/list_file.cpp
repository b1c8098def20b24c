#include "prefetch/lists/list_file.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_open.h"
#include "platform/utf_common.h"

namespace SpeedLauncher {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenForReading(const std::string& path) {
  return File(platform::_wfopen(platform::Utf8ToUtf16(path).c_str(), u"rb"));
}

// Reading it ourselves, rather than letting the parser size the buffer
// from a seek, keeps a directory or a device from being taken for a file.
std::optional<std::string> ReadAll(std::FILE* file) {
  std::string text;
  char chunk[65536];
  std::size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, count);
  if (std::ferror(file)) return std::nullopt;
  return text;
}

std::string NormalizeLineEnds(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      result += text[i];
      continue;
    }
    result += '\n';
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return result;
}

}  // namespace

bool NestsTooDeeply(const std::string& text) {
  int depth = 0;
  std::size_t i = 0;
  const auto skipPast = [&text, &i](const char* end) {
    const std::size_t found = text.find(end, i);
    i = found == std::string::npos ? text.size() : found + std::char_traits<char>::length(end);
  };
  while ((i = text.find('<', i)) != std::string::npos) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text.compare(i, 4, "<!--") == 0) {
      skipPast("-->");
    } else if (text.compare(i, 9, "<![CDATA[") == 0) {
      skipPast("]]>");
    } else if (next == '?' || next == '!') {
      skipPast(">");
    } else if (next == '/') {
      --depth;
      skipPast(">");
    } else {
      // A start tag; quoted values may hold '>' and "/>".
      char quote = '\0';
      for (++i; i < text.size() && (quote != '\0' || text[i] != '>'); ++i) {
        if (quote == '\0' && (text[i] == '"' || text[i] == '\'')) {
          quote = text[i];
        } else if (text[i] == quote) {
          quote = '\0';
        }
      }
      if (i < text.size() && text[i - 1] != '/' && ++depth > kMaxListNesting) return true;
      ++i;
    }
  }
  return false;
}

bool ParseListText(std::string text, TiXmlDocument& document) {
  // The parser steps over a multi-byte character by the length its lead
  // byte claims, so a truncated or invalid sequence near the end walks it
  // past the terminator. Only well-formed UTF-8 reaches it.
  if (!platform::IsWellFormedUtf8(text) || NestsTooDeeply(text)) return false;
  if (text.find('\r') != std::string::npos) text = NormalizeLineEnds(text);
  document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  return !document.Error();
}

bool ParseListFile(const std::string& path, TiXmlDocument& document) {
  std::optional<std::string> text;
  if (File file = OpenForReading(path)) text = ReadAll(file.get());
  if (!text) return false;
  return ParseListText(std::move(*text), document);
}

}  // namespace SpeedLauncher
