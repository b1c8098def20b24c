#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "input_kind.h"
#include "reporter.h"
#include "statistics.h"
#include "tessvik/compiled_file.h"
#include "tessvik/dictionary.h"

namespace lexiqon {

// How check and compile read a file, and the format its entries must fit.
struct AnalysisOptions {
  std::string inputFormat;    // text, po or pot; empty: by the name and content
  std::string inputEncoding;  // text: utf-8, utf-16 or ansi; empty: by the byte-order mark
  tessvik::CompiledFormat target;
  int pluralForm = -1;  // PO: the form of plural messages to keep; -1: none
};

// One file as check and compile see it: every finding is reported while it
// is read, so that the two commands agree.
struct AnalysedFile {
  InputKind kind = InputKind::kText;
  std::optional<tessvik::CompiledFormat> compiled;  // a compiled file's version
  std::vector<tessvik::CompiledEntry> entries;      // sorted by key, the values a lookup gives
  std::vector<std::uint32_t> lines;                 // the line of each entry; 0: none
  bool valid = true;                                // the dictionary's valid flag
  LineCounts counts;
};

// Where the key is: "FILE:LINE", or "FILE" when it has no line.
std::string Place(const AnalysedFile& file, const std::string& key);

// Reads the file the user named ("-" is standard input). together, when
// given, also receives the file, after those before it, as the launcher
// layers dictionaries. Throws FileError for a file that cannot be read.
AnalysedFile Analyse(const std::string& path, const AnalysisOptions& options, Reporter& report,
                     tessvik::Dictionary* together = nullptr);

// "1.0", "1.5", "2.0" or "2.1" as a format to write.
tessvik::CompiledFormat ParseFormat(const std::string& version);

// The compiled image of a PO file's entries, as compile writes it by default.
std::string DefaultCompiled(const std::vector<tessvik::CompiledEntry>& entries);

}  // namespace lexiqon
