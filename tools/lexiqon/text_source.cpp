#include "text_source.h"

#include <sys/stat.h>

#include <istream>
#include <memory>
#include <optional>
#include <unordered_map>

#include "errors.h"
#include "tessvik/text_lines.h"
#include "text_output.h"
#include "utf8_source.h"

namespace lexiqon {
namespace {

// What the raw bytes of an 8-bit file say, read in pieces: whether they
// are UTF-8 with a byte above 0x7F, and the line of the first NUL byte.
struct ByteScan {
  bool utf8 = false;
  std::uint32_t nulLine = 0;  // 0: none
};

ByteScan ScanBytes(InputFile& file, std::size_t skip) {
  std::FILE* stream = file.Rewound();
  char piece[1 << 16];
  bool high = false;
  bool broken = false;
  int pending = 0;  // continuation bytes still expected
  std::uint32_t line = 1;
  char previous = 0;
  ByteScan scan;
  for (std::size_t got;
       scan.nulLine == 0 && (got = std::fread(piece, 1, sizeof piece, stream)) != 0;) {
    for (std::size_t i = 0; i < got; ++i) {
      const auto byte = static_cast<unsigned char>(piece[i]);
      if (byte == '\n' && previous != '\r') ++line;
      if (byte == '\r') ++line;
      previous = static_cast<char>(byte);
      if (byte == 0) {
        scan.nulLine = line;
        break;
      }
      if (skip != 0) {
        --skip;
        continue;
      }
      if (broken) continue;
      if (pending != 0) {
        broken = (byte & 0xC0) != 0x80;
        --pending;
        continue;
      }
      if (byte < 0x80) continue;
      high = true;
      pending = byte >= 0xC2 && byte <= 0xDF   ? 1
                : byte >= 0xE0 && byte <= 0xEF ? 2
                : byte >= 0xF0 && byte <= 0xF4 ? 3
                                               : -1;
      broken = pending < 0;
    }
  }
  file.ThrowIfFailed();
  scan.utf8 = high && !broken && pending == 0;
  return scan;
}

bool IsBlank(char16_t unit) { return unit == u' ' || unit == u'\t' || unit == u'\u00A0'; }

std::uint64_t FileSize(InputFile& file) {
  struct stat status {};
  return ::fstat(fileno(file.Rewound()), &status) == 0 ? static_cast<std::uint64_t>(status.st_size)
                                                       : 0;
}

// Whether a load keeps "#{name}" as it is: the name is no known markup.
bool UnknownMarkup(std::u16string_view markup) {
  std::u16string line = u"\"$$$k=";
  line.append(markup);
  line += u"\"";
  tessvik::Dictionary probe;
  probe.AddLine(line.c_str());
  const auto entries = probe.Entries();
  return !entries.empty() && entries.front().value == markup;
}

std::string Shown(std::u16string_view text) {
  constexpr std::size_t kShown = 60;
  const std::string utf8 = ToUtf8(std::u16string(text.substr(0, kShown)));
  return "\"" + utf8 + (text.size() > kShown ? "...\"" : "\"");
}

class LineChecker {
 public:
  LineChecker(const std::string& path, Reporter& report, AnalysedFile& file)
      : path_(path), report_(report), file_(file) {}

  // One line that a load hands to the dictionary; more: bytes follow it.
  void Check(std::uint32_t number, std::u16string_view text, char16_t terminator, bool more) {
    const std::string where = path_ + ":" + std::to_string(number);
    if (terminator == u'\u2028' || terminator == u'\u2029') {
      report_.Error(where, "U+2028 or U+2029 ends the line here; the rest is read as a new line");
    }
    if (terminator == 0 && more) {
      report_.Error(where, "a NUL character cuts the line; the rest is read as a new line");
    }
    const tessvik::TextLine line = tessvik::ParseTextLine(text);
    CheckQuotes(where, text, line);
    if (!line.accepted) {
      ++file_.counts.dropped;
      report_.Error(where,
                    "entry starts with \"$\" but not \"$$$\"; the dictionary becomes invalid");
      return;
    }
    ++file_.counts.lines;
    CheckKey(where, line);
    CheckMarkup(where, line.value);
    const auto [place, inserted] = lines_.try_emplace(line.key, number);
    if (!inserted) {
      ++file_.counts.replaced;
      report_.Warning(path_ + ":" + std::to_string(place->second),
                      "key \"" + line.key + "\" is replaced by " + where);
      place->second = number;
    }
  }

  bool SawEntries() const { return entryLike_ != 0; }

  // The line that gave each of the sorted entries its value.
  std::vector<std::uint32_t> Lines(const std::vector<tessvik::CompiledEntry>& entries) const {
    std::vector<std::uint32_t> lines;
    lines.reserve(entries.size());
    for (const auto& entry : entries) {
      const auto line = lines_.find(entry.key);
      lines.push_back(line == lines_.end() ? 0 : line->second);
    }
    return lines;
  }

 private:
  void CheckQuotes(const std::string& where, std::u16string_view text,
                   const tessvik::TextLine& line) {
    if (line.quoted || line.hasEquals) ++entryLike_;
    if (!line.quoted) {
      report_.Warning(where,
                      line.hasEquals || !line.accepted
                          ? "line without quotation marks"
                          : "line without quotation marks or \"=\": the whole line is a key");
      return;
    }
    if (!line.closed) {
      report_.Warning(where, "opening quotation mark without a closing one");
    } else if (line.trailing.find_first_not_of(u" \t") != std::u16string_view::npos) {
      report_.Warning(where,
                      "text after the closing quotation mark is left out: " + Shown(line.trailing));
    }
    if (line.accepted && !line.hasEquals && !text.empty()) {
      report_.Warning(where,
                      "no \"=\" in the quoted entry: the launcher shows an empty text for "
                      "key \"" +
                          line.key + "\"");
    }
  }

  void CheckKey(const std::string& where, const tessvik::TextLine& line) {
    const std::u16string_view key = line.keyText;
    if (!key.empty() && key.front() == u'\uFEFF') {
      report_.Warning(where,
                      "the byte-order mark starts this unquoted line and so the key, which no "
                      "\"$$$\" text reaches; put the entry in quotation marks");
      return;
    }
    for (char16_t unit : key) {
      if (unit > 0xFF) {
        report_.Warning(where, "key character U+" + ToUnitList(std::u16string(1, unit)) +
                                   " is outside 8 bits; its high bits are dropped");
        break;
      }
    }
    if (!key.empty() && (IsBlank(key.front()) || IsBlank(key.back()))) {
      report_.Warning(where, "key \"" + line.key + "\" " +
                                 (IsBlank(key.front()) ? "starts" : "ends") +
                                 " with a blank, which no lookup text has; it cannot be reached");
    }
  }

  void CheckMarkup(const std::string& where, std::u16string_view value) {
    for (std::size_t at = value.find(u"#{"); at != std::u16string_view::npos;
         at = value.find(u"#{", at + 1)) {
      const std::size_t close = value.find(u'}', at);
      if (close == std::u16string_view::npos) return;
      const std::u16string_view markup = value.substr(at, close - at + 1);
      if (UnknownMarkup(markup)) {
        report_.Error(where, "markup " + ToUtf8(std::u16string(markup)) +
                                 " names no known character; it stays as written");
      }
    }
  }

  const std::string& path_;
  Reporter& report_;
  AnalysedFile& file_;
  std::size_t entryLike_ = 0;
  std::unordered_map<std::string, std::uint32_t> lines_;  // each key's last line
};

// The stream the dictionary reads for the file: its own bytes, or UTF-8
// converted to UTF-16, or UTF-16 given the byte-order mark it lacks.
struct SourceStream {
  std::unique_ptr<std::streambuf> buffer;
  Utf8Source* utf8 = nullptr;
  std::uint32_t nulLine = 0;  // an 8-bit file's first NUL byte: no line findings
};

SourceStream OpenSource(InputFile& file, const std::string& encoding, Reporter& report) {
  const std::string head = file.Head(3);
  const bool utf16Mark = head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF");
  const bool utf8Mark = head == "\xEF\xBB\xBF";
  SourceStream source;
  if (!utf16Mark && (encoding == "utf-8" || (encoding.empty() && utf8Mark))) {
    if (utf8Mark && ScanBytes(file, 3).utf8) {
      report.Warning(file.Path(),
                     "UTF-8 with a byte-order mark: lexiqon reads it as UTF-8, but the launcher "
                     "reads a text dictionary without a UTF-16 byte-order mark in code page 1252 "
                     "(caf\xC3\x83\xC2\xA9 for caf\xC3\xA9); install it compiled, or save it as "
                     "UTF-16");
    }
    auto utf8 = std::make_unique<Utf8Source>(file);
    source.utf8 = utf8.get();
    source.buffer = std::move(utf8);
    return source;
  }
  if (encoding == "utf-16" && !utf16Mark) {
    if (FileSize(file) % 2 != 0) throw FileError(file.Path(), "odd number of bytes for UTF-16");
    source.buffer = std::make_unique<InputBuffer>(file, "\xFF\xFE");
    return source;
  }
  if (!utf16Mark) {
    const ByteScan scan = ScanBytes(file, 0);
    source.nulLine = scan.nulLine;
    if (scan.nulLine != 0) {
      report.Error(file.Path() + ":" + std::to_string(scan.nulLine),
                   "binary content: a NUL byte ends the line or the text here; this is not a "
                   "text dictionary");
    } else if (encoding.empty() && scan.utf8) {
      report.Warning(file.Path(),
                     "8-bit file holds UTF-8; it is read in the ANSI code page (save it as "
                     "UTF-16 with a byte-order mark)");
    }
  }
  source.buffer = std::make_unique<InputBuffer>(file);
  return source;
}

}  // namespace

AnalysedFile AnalyseText(InputFile& file, const AnalysisOptions& options, Reporter& report,
                         tessvik::Dictionary* together) {
  AnalysedFile result;
  result.kind = InputKind::kText;
  result.counts.path = file.Path();
  SourceStream source = OpenSource(file, options.inputEncoding, report);
  std::istream stream(source.buffer.get());
  tessvik::Dictionary alone;
  // Binary content is one error, not a finding on every piece of a line.
  std::ostream nowhere(nullptr);
  Reporter quiet(nowhere);
  LineChecker checker(file.Path(), source.nulLine == 0 ? report : quiet, result);
  {
    tessvik::TextLineReader reader(stream);
    std::u16string_view text;
    std::uint32_t number = 1;  // as an editor counts: line feed, carriage return, or the pair
    char16_t previous = 0;
    while (reader.Next(text)) {
      const char16_t terminator = reader.LastTerminator();
      const bool pairEnd = previous == u'\r' && text.empty() && terminator == u'\n';
      previous = terminator;
      const std::uint32_t line = number;
      if (terminator == u'\r' || (terminator == u'\n' && !pairEnd)) ++number;
      if (text.empty() || text == u"\uFEFF") continue;
      const bool more = stream.peek() != std::char_traits<char>::eof();
      checker.Check(line, text, terminator, more);
      alone.AddLine(text.data());
      if (together != nullptr) together->AddLine(text.data());
    }
    if (stream.peek() != std::char_traits<char>::eof() && source.nulLine == 0) {
      report.Error(file.Path() + ":" + std::to_string(number),
                   "binary content: a NUL character ends the text here; the rest of the file is "
                   "not read");
    }
  }
  if (source.utf8 != nullptr && source.utf8->Failed()) {
    throw FileError(file.Path() + ":" + std::to_string(source.utf8->BadLine()), "not valid UTF-8");
  }
  file.ThrowIfFailed();
  if (result.counts.lines + result.counts.dropped != 0 && !checker.SawEntries() &&
      source.nulLine == 0) {
    report.Error(file.Path(),
                 "no line is a dictionary entry (\"$$$/Path/Key=text\" in quotation marks); this "
                 "is not a dictionary");
  }
  result.valid = alone.IsValid();
  result.entries = alone.Entries();
  result.lines = checker.Lines(result.entries);
  result.counts.entries = result.entries.size();
  return result;
}

}  // namespace lexiqon
