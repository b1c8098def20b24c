#include "dictionary_corpus.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <unordered_set>

#include "platform/utf_common.h"
#include "tessvik/compiled_file.h"
#include "tessvik/text_lines.h"

namespace pellicor_bench {
namespace {

constexpr const char* kAreas[] = {"Frontend", "Editor",  "Timeline", "Export", "Effects",
                                  "Media",    "Audio",   "Titles",   "Prefs",  "Dialogs",
                                  "Capture",  "Project", "Color",    "Render", "Help"};
constexpr const char* kWords[] = {
    "Panels",   "Blur",     "Radius", "Clip",     "Track",  "Marker",   "Source",    "Program",
    "Sequence", "Frame",    "Rate",   "Gain",     "Volume", "Keyframe", "Opacity",   "Scale",
    "Position", "Rotation", "Anchor", "Crop",     "Mask",   "Feather",  "Speed",     "Duration",
    "Render",   "Preview",  "Proxy",  "Codec",    "Format", "Bitrate",  "Channel",   "Sample",
    "Caption",  "Font",     "Style",  "Shadow",   "Stroke", "Fill",     "Gradient",  "Lut",
    "Curve",    "Wheel",    "Scope",  "Waveform", "Vector", "History",  "Workspace", "Layout",
    "Import",   "Folder",   "Bin",    "Label",    "Color",  "Sync",     "Link",      "Group",
    "Nest",     "Trim",     "Ripple", "Roll",     "Slip",   "Slide",    "Razor",     "Hand"};
constexpr const char* kSuffixes[] = {"Label", "Tooltip", "Title",   "Button", "Message",
                                     "Menu",  "Error",   "Warning", "Hint",   "Caption"};
constexpr const char16_t* kText[] = {u"the",
                                     u"clip",
                                     u"cannot",
                                     u"be",
                                     u"opened",
                                     u"select",
                                     u"a",
                                     u"track",
                                     u"to",
                                     u"apply",
                                     u"effect",
                                     u"render",
                                     u"preview",
                                     u"file",
                                     u"is",
                                     u"missing",
                                     u"save",
                                     u"your",
                                     u"project",
                                     u"before",
                                     u"exporting",
                                     u"frame",
                                     u"rate",
                                     u"changed",
                                     u"audio",
                                     u"gain",
                                     u"settings",
                                     u"for",
                                     u"all",
                                     u"clips",
                                     u"r\u00E9glage",
                                     u"m\u00E9dia",
                                     u"\u00DCbersicht",
                                     u"100\u00A0%",
                                     u"\u20AC",
                                     u"\u2026",
                                     u"\u65E5\u672C\u8A9E",
                                     u"\u0424\u0430\u0439\u043B"};

template <typename T, std::size_t N>
const T& Pick(const T (&list)[N], std::mt19937& random) {
  return list[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)];
}

int Between(int low, int high, std::mt19937& random) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

std::string MakeKey(std::mt19937& random) {
  std::string key = "/";
  key += Pick(kAreas, random);
  for (int i = Between(1, 3, random); i > 0; --i) key += std::string("/") + Pick(kWords, random);
  key += "/";
  for (int i = Between(1, 3, random); i > 0; --i) key += Pick(kWords, random);
  key += Pick(kSuffixes, random);
  return key;
}

std::u16string MakeValue(std::mt19937& random) {
  std::u16string value;
  for (int i = Between(1, 9, random); i > 0; --i) {
    if (!value.empty()) value += u' ';
    value += Pick(kText, random);
  }
  if (value[0] >= u'a' && value[0] <= u'z') value[0] = static_cast<char16_t>(value[0] - 32);
  return value;
}

std::vector<std::string> Keys(std::size_t n, unsigned seed,
                              const std::unordered_set<std::string>& taken) {
  std::mt19937 random(seed);
  std::unordered_set<std::string> seen;
  std::vector<std::string> keys;
  keys.reserve(n);
  while (keys.size() < n) {
    std::string key = MakeKey(random);
    // Large dictionaries run out of word combinations: number the rest.
    if (seen.count(key) != 0 || taken.count(key) != 0) key += std::to_string(keys.size());
    if (seen.count(key) != 0 || taken.count(key) != 0) continue;
    seen.insert(key);
    keys.push_back(std::move(key));
  }
  return keys;
}

std::string PoQuoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

std::vector<Entry> MakeEntries(std::size_t n, unsigned seed) {
  std::vector<std::string> keys = Keys(n, seed, {});
  std::mt19937 random(seed ^ 0x5bd1e995u);
  std::vector<Entry> entries;
  entries.reserve(n);
  for (std::string& key : keys) entries.push_back({std::move(key), MakeValue(random)});
  return entries;
}

std::vector<std::string> MakeMissingKeys(const std::vector<Entry>& entries, std::size_t n,
                                         unsigned seed) {
  std::unordered_set<std::string> taken;
  for (const Entry& entry : entries) taken.insert(entry.key);
  return Keys(n, seed + 7919u, taken);
}

std::string ToUtf8(const std::u16string& text) { return platform::Utf16ToUtf8(text); }

void WriteTextDictionary(const std::string& path, const std::vector<Entry>& entries) {
  std::u16string text = u"\uFEFF";
  for (const Entry& entry : entries) tessvik::AppendTextLine(text, entry.key, entry.value);
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  WriteFile(path, bytes);
}

void WriteCompiledDictionary(const std::string& path, const std::vector<Entry>& entries) {
  std::vector<tessvik::CompiledEntry> compiled;
  compiled.reserve(entries.size());
  for (const Entry& entry : entries) compiled.push_back({entry.key, entry.value});
  tessvik::CompiledFormat format;  // 2.1, little-endian
  WriteFile(path, tessvik::WriteCompiled(compiled, format));
}

void WriteMoFile(const std::string& moPath, const std::vector<Entry>& entries) {
  std::string po = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
  for (const Entry& entry : entries) {
    po += "msgid " + PoQuoted("$$$" + entry.key) + "\nmsgstr " + PoQuoted(ToUtf8(entry.value)) +
          "\n\n";
  }
  const std::string poPath = moPath + ".po";
  WriteFile(poPath, po);
  const std::string command = "msgfmt -o '" + moPath + "' '" + poPath + "'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("msgfmt failed: " + command);
}

}  // namespace pellicor_bench
