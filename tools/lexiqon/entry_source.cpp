#include "entry_source.h"

#include <ostream>

#include "analysis.h"

namespace lexiqon {

EntrySource ReadEntries(const std::string& path, const std::string& format, int pluralForm,
                        Reporter& report) {
  std::ostream nowhere(nullptr);
  Reporter quiet(nowhere);
  AnalysisOptions options;
  options.inputFormat = format;
  options.pluralForm = pluralForm;
  options.target.major = 1;  // no version's limits: the entries as they are
  AnalysedFile file = Analyse(path, options, quiet);
  if (quiet.Errors() != 0) {
    // What is left out is lost to the output, so it is a finding here too.
    report.Error(path, std::to_string(quiet.Errors()) +
                           " errors that leave entries out or make the file invalid (see "
                           "lexiqon check)");
  }
  return {file.kind, std::move(file.entries), file.valid};
}

}  // namespace lexiqon
