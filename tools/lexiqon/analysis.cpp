#include "analysis.h"

#include <algorithm>
#include <stdexcept>

#include "dictionary_files.h"
#include "input_file.h"
#include "po_file.h"
#include "text_source.h"

namespace lexiqon {
namespace {

using tessvik::CompiledEntry;

constexpr std::size_t kMaxBytes = 65535;  // a version 2 slot's 16-bit length

// What the target format cannot hold, at the line that gives the key its
// value.
void CheckLimits(const AnalysedFile& file, const tessvik::CompiledFormat& target,
                 Reporter& report) {
  if (target.major != 2) return;
  for (const CompiledEntry& entry : file.entries) {
    if (entry.key.empty()) {
      report.Error(Place(file, entry.key), "empty key: version 2 files cannot hold it");
    }
    if (entry.key.size() > kMaxBytes) {
      report.Error(Place(file, entry.key), "key of " + std::to_string(entry.key.size()) +
                                               " bytes: version 2 files hold at most 65535");
    }
    if (entry.value.size() * 2 > kMaxBytes) {
      report.Error(Place(file, entry.key), "the value of \"" + entry.key.substr(0, 60) + "\" is " +
                                               std::to_string(entry.value.size()) +
                                               " units long: version 2 files hold at most 32767");
    }
  }
}

AnalysedFile AnalyseCompiled(InputFile& input, Reporter& report, tessvik::Dictionary* together) {
  AnalysedFile file;
  file.kind = InputKind::kCompiled;
  file.counts.path = input.Path();
  const std::string bytes = input.ReadAll();
  file.compiled = ReadCompiledFormat(bytes);
  tessvik::Dictionary alone;
  LoadBytes(alone, bytes);
  file.valid = alone.IsValid();
  if (!file.valid) {
    const auto problem = alone.FirstCompiledProblem();
    report.Error(input.Path(), problem ? problem->reason + " (reading stopped at byte " +
                                             std::to_string(problem->offset) + ")"
                                       : std::string("not a valid dictionary"));
  }
  file.entries = alone.Entries();
  file.counts.entries = file.entries.size();
  if (together != nullptr) LoadBytes(*together, bytes);
  return file;
}

AnalysedFile AnalysePo(InputFile& input, InputKind kind, const AnalysisOptions& options,
                       Reporter& report, tessvik::Dictionary* together) {
  AnalysedFile file;
  file.kind = kind;
  file.counts.path = input.Path();
  PoCatalog catalog = ReadPo(input, {kind == InputKind::kPot, options.pluralForm}, report);
  file.lines = std::move(catalog.lines);
  file.entries = std::move(catalog.entries);
  file.counts.entries = file.entries.size();
  file.counts.untranslated = catalog.untranslated;
  file.counts.fuzzy = catalog.fuzzy;
  file.counts.plural = catalog.plural;
  if (together != nullptr) LoadBytes(*together, DefaultCompiled(file.entries));
  return file;
}

}  // namespace

std::string Place(const AnalysedFile& file, const std::string& key) {
  const auto found = std::lower_bound(
      file.entries.begin(), file.entries.end(), key,
      [](const CompiledEntry& entry, const std::string& k) { return entry.key < k; });
  const auto index = static_cast<std::size_t>(found - file.entries.begin());
  if (index >= file.lines.size() || found->key != key || file.lines[index] == 0) {
    return file.counts.path;
  }
  return file.counts.path + ":" + std::to_string(file.lines[index]);
}

tessvik::CompiledFormat ParseFormat(const std::string& version) {
  tessvik::CompiledFormat format;
  format.major = static_cast<std::uint8_t>(version[0] - '0');
  format.minor = static_cast<std::uint8_t>(version[2] - '0');
  return format;
}

std::string DefaultCompiled(const std::vector<CompiledEntry>& entries) {
  try {
    return tessvik::WriteCompiled(entries, tessvik::CompiledFormat{});
  } catch (const std::invalid_argument&) {
    // What version 2 cannot hold (an empty or long key), version 1.5 can.
    tessvik::CompiledFormat format;
    format.major = 1;
    format.minor = 5;
    return tessvik::WriteCompiled(entries, format);
  }
}

AnalysedFile Analyse(const std::string& path, const AnalysisOptions& options, Reporter& report,
                     tessvik::Dictionary* together) {
  InputFile input(path);
  const InputKind kind = DetectKind(input, options.inputFormat);
  AnalysedFile file;
  if (kind == InputKind::kCompiled) {
    file = AnalyseCompiled(input, report, together);
  } else if (IsPoKind(kind)) {
    file = AnalysePo(input, kind, options, report, together);
  } else {
    file = AnalyseText(input, options, report, together);
  }
  CheckLimits(file, options.target, report);
  return file;
}

}  // namespace lexiqon
