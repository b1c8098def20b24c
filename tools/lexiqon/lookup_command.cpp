#include <ostream>
#include <vector>

#include "commands.h"
#include "dictionary_files.h"
#include "input_file.h"
#include "tessvik/dictionary.h"
#include "text_output.h"

namespace lexiqon {
namespace {

// ANSI needs a selector other than 0 and 1: 0 would widen byte by byte.
constexpr tessvik::TextEncoding kAnsiSelector = 2;

std::u16string Text(const tessvik::DictionaryString& result) {
  std::vector<char16_t> buffer(result.Length());
  result.CopyTo(buffer.data(), static_cast<std::uint32_t>(buffer.size()), true);
  return std::u16string(buffer.data(), buffer.size() - 1);
}

std::u16string Widened(std::string_view text) {
  std::u16string wide;
  for (char byte : text) wide.push_back(static_cast<unsigned char>(byte));
  return wide;
}

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.size() > 3 && text.compare(0, prefix.size(), prefix) == 0;
}

// What the launcher's localizer shows for the text: only "$$$" texts with
// "=" are looked up; an invalid dictionary gives the key text back whole.
std::u16string AsTheLauncherShows(tessvik::Dictionary& dictionary, const std::string& text) {
  if (text.find('=') == std::string::npos) return Widened(text);
  std::string key = text;
  if (StartsWith(key, "($$$")) {
    key.erase(0, 1);
    if (key.back() == ')') key.pop_back();
  } else if (!StartsWith(key, "$$$")) {
    return FromUtf8(text);
  }
  if (!dictionary.IsValid()) return Widened(key);
  return Text(dictionary.Lookup(key.c_str(), nullptr));
}

void LoadDictionaries(const LookupOptions& options, tessvik::Dictionary& dictionary,
                      Reporter& report) {
  for (const std::string& path : options.dictionaries) {
    const bool wasValid = dictionary.IsValid();
    InputFile file(path);
    LoadFile(dictionary, file, options.inputFormat, options.pluralForm, report);
    if (wasValid && !dictionary.IsValid()) {
      report.Warning(path, "this file makes the dictionary invalid (see lexiqon check)");
    }
  }
}

}  // namespace

int RunLookup(const LookupOptions& options, Context& context) {
  tessvik::TextEncoding storage =
      options.encoding == "ansi" ? kAnsiSelector : tessvik::kTextEncodingUtf8;
  const tessvik::TextEncoding* encoding = options.encoding.empty() ? nullptr : &storage;
  tessvik::Dictionary dictionary;
  LoadDictionaries(options, dictionary, context.report);
  for (const std::string& text : options.texts) {
    const std::u16string value = options.raw ? Text(dictionary.Lookup(text.c_str(), encoding))
                                             : AsTheLauncherShows(dictionary, text);
    context.out << (options.units ? ToUnitList(value) : ToUtf8(value)) << '\n';
  }
  return 0;
}

int RunContains(const LookupOptions& options, Context& context) {
  tessvik::Dictionary dictionary;
  LoadDictionaries(options, dictionary, context.report);
  for (const std::string& text : options.texts) {
    context.out << (dictionary.Contains(text.c_str()) ? "true" : "false") << '\n';
  }
  return 0;
}

}  // namespace lexiqon
