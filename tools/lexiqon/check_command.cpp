#include <map>
#include <ostream>
#include <sstream>

#include "commands.h"
#include "dictionary_files.h"
#include "input_encoding.h"
#include "input_file.h"
#include "line_scan.h"
#include "statistics.h"
#include "tessvik/compiled_file.h"
#include "tessvik/dictionary.h"
#include "tessvik/text_lines.h"
#include "text_output.h"

namespace lexiqon {
namespace {

constexpr std::size_t kMaxStoreBytes = 65535;

std::string Where(const std::string& path, std::uint32_t line) {
  return path + ":" + std::to_string(line);
}

bool IsUtf8WithHighBytes(const std::string& bytes) {
  bool high = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t size = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC2 ? 2
                                            : 0;
    if (size == 0 || i + size > bytes.size()) return false;
    for (std::size_t k = 1; k < size; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    high = high || size > 1;
    i += size;
  }
  return high;
}

bool HasByteOrderMark(const std::string& bytes) {
  return bytes.size() >= 2 &&
         ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
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

// Findings on the lines of text dictionaries, with shadowing across every
// file given to one checker.
class LineChecker {
 public:
  explicit LineChecker(Reporter& report) : report_(report) {}

  // asRead: the bytes are the file's own, not converted from UTF-8.
  void CheckText(const std::string& path, const std::string& bytes, bool asRead) {
    if (asRead && !HasByteOrderMark(bytes)) CheckEightBit(path, bytes);
    ScanLines(bytes, [&](const ScannedLine& line) { CheckLine(path, line); });
  }

 private:
  void CheckEightBit(const std::string& path, const std::string& bytes) {
    if (bytes.find('\0') != std::string::npos) {
      report_.Error(path, "binary content: a NUL byte ends the text there");
    } else if (IsUtf8WithHighBytes(bytes)) {
      report_.Warning(path,
                      "8-bit file holds UTF-8; it is read in the ANSI code page (save it as "
                      "UTF-16 with a byte-order mark)");
    }
  }

  void CheckLine(const std::string& path, const ScannedLine& line) {
    const std::string where = Where(path, line.number);
    if (line.terminator == u'\u2028' || line.terminator == u'\u2029') {
      report_.Error(where, "U+2028 or U+2029 ends the line here; the rest is read as a new line");
    }
    if (line.terminator == 0 && !line.last) {
      report_.Error(where, "a NUL character cuts the line; the rest is read as a new line");
    }
    CheckQuotes(where, line.text);
    const tessvik::TextLine entry = tessvik::ParseTextLine(line.text);
    if (!entry.accepted) {
      report_.Error(where,
                    "entry starts with \"$\" but not \"$$$\"; the dictionary becomes invalid");
      return;
    }
    CheckKey(where, line.text, entry);
    CheckMarkup(where, entry.value);
    const auto [place, inserted] = lastLine_.try_emplace(entry.key, where);
    if (!inserted) {
      report_.Warning(place->second, "key \"" + entry.key + "\" is replaced by " + where);
      place->second = where;
    }
  }

  void CheckQuotes(const std::string& where, std::u16string_view text) {
    std::size_t open = std::u16string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'"' && (i == 0 || text[i - 1] != u'\\')) {
        if (open != std::u16string_view::npos) return;
        open = i;
      }
    }
    if (open != std::u16string_view::npos) {
      report_.Warning(where, "opening quotation mark without a closing one");
    } else if (text.find(u'=') == std::u16string_view::npos) {
      report_.Warning(where, "line without quotation marks or \"=\": the whole line is a key");
    } else {
      report_.Warning(where, "line without quotation marks");
    }
  }

  void CheckKey(const std::string& where, std::u16string_view text,
                const tessvik::TextLine& entry) {
    if (entry.key.empty()) {
      report_.Warning(where, "empty key: version 2 files cannot hold it");
    }
    if (entry.key.size() > kMaxStoreBytes) {
      report_.Warning(where, "key over 65535 bytes: version 2 files cannot hold it");
    }
    if (entry.value.size() * 2 > kMaxStoreBytes) {
      report_.Warning(where, "value over 65535 bytes: version 2 files cannot hold it");
    }
    const std::size_t keyEnd = text.size() - entry.value.size();
    for (std::size_t i = 0; i < keyEnd && i < text.size(); ++i) {
      if (text[i] > 0xFF && text[i] != u'\uFEFF') {
        report_.Warning(where, "key character U+" + ToUnitList(std::u16string(1, text[i])) +
                                   " is outside 8 bits; its high bits are dropped");
        return;
      }
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

  Reporter& report_;
  std::map<std::string, std::string> lastLine_;
};

// Loads the file, with its line findings for text; returns the file's bytes.
std::string CheckFile(const std::string& path, const std::string& encoding,
                      tessvik::Dictionary& dictionary, LineChecker& checker, Context& context) {
  const std::string original = ReadInput(path);
  std::string bytes = ToDictionaryBytes(path, original, encoding);
  std::istringstream header(bytes, std::ios::binary);
  if (const auto format = tessvik::ReadCompiledFormat(header)) {
    context.out << path << ": compiled version " << int{format->major} << '.' << int{format->minor}
                << '\n';
  } else {
    checker.CheckText(path, bytes, bytes == original);
  }
  const bool wasValid = dictionary.IsValid();
  LoadBytes(dictionary, bytes);
  if (wasValid && !dictionary.IsValid()) {
    if (const auto problem = dictionary.FirstCompiledProblem()) {
      context.report.Error(path, problem->reason + " (reading stopped at byte " +
                                     std::to_string(problem->offset) + ")");
    }
  }
  return bytes;
}

}  // namespace

int RunCheck(const CheckOptions& options, Context& context) {
  const int errorsBefore = context.report.Errors();
  bool allValid = true;
  if (options.together) {
    tessvik::Dictionary dictionary;
    LineChecker checker(context.report);
    for (const std::string& path : options.files) {
      const std::string bytes =
          CheckFile(path, options.inputEncoding, dictionary, checker, context);
      if (options.statistics) {
        // This file's own entries: its distinct keys, or a compiled file's.
        tessvik::Dictionary alone;
        LoadBytes(alone, bytes);
        PrintStatistics(CountLines(path, bytes, alone.Entries().size()), context.report.Stream());
      }
    }
    allValid = dictionary.IsValid();
    context.out << (allValid ? "valid" : "invalid") << '\n';
  } else {
    for (const std::string& path : options.files) {
      tessvik::Dictionary dictionary;
      LineChecker checker(context.report);
      const std::string bytes =
          CheckFile(path, options.inputEncoding, dictionary, checker, context);
      context.out << path << ": " << (dictionary.IsValid() ? "valid" : "invalid") << '\n';
      allValid = allValid && dictionary.IsValid();
      if (options.statistics) {
        PrintStatistics(CountLines(path, bytes, dictionary.Entries().size()),
                        context.report.Stream());
      }
    }
  }
  return allValid && context.report.Errors() == errorsBefore ? 0 : 1;
}

}  // namespace lexiqon
