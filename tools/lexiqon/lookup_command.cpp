#include <ostream>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "dictionary_files.h"
#include "tessvik/dictionary.h"
#include "text_output.h"

namespace lexiqon {
namespace {

// ANSI needs a selector other than 0 and 1: 0 would widen byte by byte.
constexpr tessvik::TextEncoding kAnsiSelector = 2;

const tessvik::TextEncoding* EncodingOption(const Arguments& args, tessvik::TextEncoding& storage) {
  const std::string name = args.Value("--encoding", "");
  if (name.empty()) return nullptr;
  if (name == "utf8") {
    storage = tessvik::kTextEncodingUtf8;
  } else if (name == "ansi") {
    storage = kAnsiSelector;
  } else {
    throw UsageError("--encoding takes utf8 or ansi");
  }
  return &storage;
}

void LoadDictionaries(const Arguments& args, tessvik::Dictionary& dictionary) {
  if (args.Values("-d").empty()) throw UsageError("give at least one -d FILE");
  if (args.Operands().empty()) throw UsageError("give at least one TEXT");
  LoadFiles(dictionary, args.Values("-d"));
}

std::u16string Text(const tessvik::DictionaryString& result) {
  std::vector<char16_t> buffer(result.Length());
  result.CopyTo(buffer.data(), static_cast<std::uint32_t>(buffer.size()), true);
  return std::u16string(buffer.data(), buffer.size() - 1);
}

}  // namespace

int RunLookup(const std::vector<std::string>& words, std::ostream& out) {
  const Arguments args(words, {{"--units"}, {"-d", "--encoding"}});
  tessvik::TextEncoding storage = 0;
  const tessvik::TextEncoding* encoding = EncodingOption(args, storage);
  tessvik::Dictionary dictionary;
  LoadDictionaries(args, dictionary);
  for (const std::string& text : args.Operands()) {
    const std::u16string value = Text(dictionary.Lookup(text.c_str(), encoding));
    out << (args.Flag("--units") ? ToUnitList(value) : ToUtf8(value)) << '\n';
  }
  return 0;
}

int RunContains(const std::vector<std::string>& words, std::ostream& out) {
  const Arguments args(words, {{}, {"-d"}});
  tessvik::Dictionary dictionary;
  LoadDictionaries(args, dictionary);
  for (const std::string& text : args.Operands()) {
    out << (dictionary.Contains(text.c_str()) ? "true" : "false") << '\n';
  }
  return 0;
}

}  // namespace lexiqon
