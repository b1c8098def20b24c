#include <tinyxml.h>

#include <boost/filesystem/operations.hpp>
#include <cstdio>
#include <ostream>
#include <system_error>
#include <unordered_set>

#include "commands.h"
#include "platform/file_open_trace.h"
#include "report_text.h"

namespace speedlauncher {
namespace {

namespace fs = boost::filesystem;

// Relative to folder where the path lies below it, as the launcher joins
// relative entries to its own folder; unchanged elsewhere.
std::string AsEntryPath(const std::string& path, const std::string& folder) {
  const std::string prefix = folder.back() == '/' ? folder : folder + "/";
  if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0) {
    return path.substr(prefix.size());
  }
  return path;
}

// Written beside the target and renamed over it, so that a failed run
// leaves no half list.
bool WriteList(const std::vector<std::string>& paths, const std::string& output,
               std::ostream& errors) {
  const std::string folder =
      fs::absolute(fs::path(output)).parent_path().lexically_normal().string();
  TiXmlDocument document;
  document.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
  auto* root = static_cast<TiXmlElement*>(document.LinkEndChild(new TiXmlElement("SpeedLauncher")));
  auto* section = static_cast<TiXmlElement*>(root->LinkEndChild(new TiXmlElement("Application")));
  section->SetAttribute("name", "pellicor");
  auto* files = static_cast<TiXmlElement*>(section->LinkEndChild(new TiXmlElement("FileList")));
  for (const std::string& path : paths) {
    auto* entry = static_cast<TiXmlElement*>(files->LinkEndChild(new TiXmlElement("File")));
    entry->SetAttribute("fileRelativePath", AsEntryPath(path, folder));
    entry->SetAttribute("isForeground", "1");
  }
  const std::string temporary = output + ".tmp";
  if (!document.SaveFile(temporary)) {
    Report(errors, temporary, 0, Severity::kError, "cannot write the list");
    std::remove(temporary.c_str());
    return false;
  }
  boost::system::error_code error;
  fs::rename(fs::path(temporary), fs::path(output), error);
  if (!error) return true;
  Report(errors, output, 0, Severity::kError, "cannot write the list: " + error.message());
  std::remove(temporary.c_str());
  return false;
}

}  // namespace

int RunRecord(const Options& options, std::ostream& out, std::ostream& errors) {
  std::vector<std::string> paths;
  std::unordered_set<std::string> seen;
  const platform::TraceOutcome outcome =
      platform::TraceFileOpens(options.program, options.seconds, [&](const std::string& path) {
        if (seen.insert(path).second) paths.push_back(path);
      });
  if (!outcome.started) {
    Report(errors, options.program.front(), 0, Severity::kError,
           "cannot run and trace: " + std::system_category().message(outcome.error));
    return 1;
  }
  if (!WriteList(paths, options.output, errors)) return 1;
  out << "recorded " << paths.size() << " files into " << options.output
      << (outcome.timedOut ? " (time ran out; the program goes on untraced)" : "") << '\n';
  return 0;
}

}  // namespace speedlauncher
