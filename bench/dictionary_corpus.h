#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Realistic dictionary contents for benchmarks: slash-separated keys such
// as "/Frontend/Panels/Effects/BlurRadiusLabel" and short UI texts.
namespace pellicor_bench {

struct Entry {
  std::string key;       // without the leading "$$$"
  std::u16string value;  // final text, as a lookup returns it
};

// n entries with unique keys; the same n and seed always give the same list.
std::vector<Entry> MakeEntries(std::size_t n, unsigned seed);

// n keys of the same shape that none of the entries has.
std::vector<std::string> MakeMissingKeys(const std::vector<Entry>& entries, std::size_t n,
                                         unsigned seed);

std::string ToUtf8(const std::u16string& text);

// UTF-16 little-endian text dictionary with byte-order mark, one quoted
// "$$$key=value" line per entry, escaped so that loading gives the value.
void WriteTextDictionary(const std::string& path, const std::vector<Entry>& entries);

// Compiled dictionary, version 2.1 little-endian.
void WriteCompiledDictionary(const std::string& path, const std::vector<Entry>& entries);

// gettext catalogue: msgid "$$$key", msgstr the UTF-8 value; writes a .po
// beside the .mo and runs msgfmt. Throws std::runtime_error when it fails.
void WriteMoFile(const std::string& moPath, const std::vector<Entry>& entries);

}  // namespace pellicor_bench
