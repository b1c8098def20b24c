#include <algorithm>
#include <map>
#include <ostream>

#include "analysis.h"
#include "commands.h"
#include "statistics.h"

namespace lexiqon {
namespace {

using tessvik::CompiledEntry;

const CompiledEntry* Find(const std::vector<CompiledEntry>& sorted, const std::string& key) {
  const auto found =
      std::lower_bound(sorted.begin(), sorted.end(), key,
                       [](const CompiledEntry& e, const std::string& k) { return e.key < k; });
  return found != sorted.end() && found->key == key ? &*found : nullptr;
}

// Keys of the files loaded so far into one dictionary, as the launcher
// layers them: which file's entry a lookup finds, whatever the formats.
class Layers {
 public:
  explicit Layers(Reporter& report) : report_(report) {}

  void Add(const AnalysedFile& file, const tessvik::Dictionary& together, bool wasBlockMode) {
    const std::vector<CompiledEntry> now = together.Entries();
    if (!wasBlockMode && together.InBlockMode()) Hidden(file, now);
    for (const CompiledEntry& entry : file.entries) {
      const std::string place = Place(file, entry.key);
      const auto [earlier, inserted] = places_.try_emplace(entry.key, place);
      if (inserted) continue;
      const CompiledEntry* found = Find(now, entry.key);
      if (found != nullptr && found->value == entry.value) {
        report_.Warning(earlier->second, "key \"" + entry.key + "\" is replaced by " + place);
        earlier->second = place;
      } else {
        report_.Warning(place, "key \"" + entry.key + "\" is not used: " + earlier->second +
                                   " still answers it");
      }
    }
  }

 private:
  // A version 2 file puts the dictionary in block mode, where the entries
  // of earlier text and version 1 files are no longer looked at.
  void Hidden(const AnalysedFile& file, const std::vector<CompiledEntry>& now) {
    std::size_t hidden = 0;
    std::string first;
    for (auto it = places_.begin(); it != places_.end();) {
      if (Find(now, it->first) != nullptr) {
        ++it;
        continue;
      }
      if (hidden++ == 0) first = "\"" + it->first + "\" of " + it->second;
      it = places_.erase(it);
    }
    if (hidden == 0) return;
    report_.Warning(file.counts.path, "this compiled file puts the dictionary in block mode: " +
                                          std::to_string(hidden) +
                                          " keys of earlier files are no longer found, the "
                                          "first " +
                                          first);
  }

  Reporter& report_;
  std::map<std::string, std::string> places_;
};

void PrintVersion(const AnalysedFile& file, std::ostream& out) {
  if (!file.compiled) return;
  out << file.counts.path << ": compiled version " << int{file.compiled->major} << '.'
      << int{file.compiled->minor} << '\n';
}

}  // namespace

int RunCheck(const CheckOptions& options, Context& context) {
  Reporter& report = context.report;
  const int errorsBefore = report.Errors();
  AnalysisOptions analysis;
  analysis.inputFormat = options.inputFormat;
  analysis.inputEncoding = options.inputEncoding;
  analysis.target = ParseFormat(options.format);
  analysis.pluralForm = options.pluralForm;
  if (!options.together) {
    for (const std::string& path : options.files) {
      const int before = report.Errors();
      const AnalysedFile file = Analyse(path, analysis, report);
      PrintVersion(file, context.out);
      const bool valid = file.valid && report.Errors() == before;
      context.out << path << ": " << (valid ? "valid" : "invalid") << '\n';
      if (options.statistics) PrintStatistics(file.counts, report.Stream());
    }
    return report.Errors() == errorsBefore ? 0 : 1;
  }
  tessvik::Dictionary together;
  Layers layers(report);
  for (const std::string& path : options.files) {
    const bool wasBlockMode = together.InBlockMode();
    const AnalysedFile file = Analyse(path, analysis, report, &together);
    PrintVersion(file, context.out);
    layers.Add(file, together, wasBlockMode);
    if (options.statistics) PrintStatistics(file.counts, report.Stream());
  }
  // Every cause of an invalid dictionary is some file's error.
  if (!together.IsValid() && report.Errors() == errorsBefore) {
    report.Error(options.files.back(), "the dictionary is not valid");
  }
  const bool valid = report.Errors() == errorsBefore;
  context.out << (valid ? "valid" : "invalid") << '\n';
  return valid ? 0 : 1;
}

}  // namespace lexiqon
