#include <tinyxml.h>

#include <boost/filesystem/operations.hpp>
#include <cerrno>
#include <fstream>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include "commands.h"
#include "platform/file_open_trace.h"
#include "platform/utf_common.h"
#include "report_text.h"

namespace speedlauncher {
namespace {

namespace fs = boost::filesystem;

// What the kernel makes up on the spot: reading it again says nothing
// about the next start.
bool InSystemFolder(const std::string& path) {
  for (std::string_view folder : {"/proc/", "/sys/", "/dev/", "/run/"}) {
    if (path.compare(0, folder.size(), folder) == 0) return true;
  }
  return false;
}

// Where the list goes. A link is written through, so that the list's real
// folder is the one relative entries are based on.
struct ListTarget {
  bool toStandardOutput = false;
  std::string file;      // what is written, links resolved
  std::string folder;    // its real folder with a trailing "/"; empty: none
  bool inPlace = false;  // a device or pipe: written into, not replaced
};

ListTarget TargetOf(const std::string& output) {
  ListTarget target;
  if (output == "-") {
    target.toStandardOutput = true;
    return target;
  }
  boost::system::error_code error;
  fs::path file = fs::absolute(fs::path(output));
  const fs::file_status status = fs::status(file, error);
  if (fs::exists(status) && fs::is_symlink(fs::symlink_status(file, error))) {
    const fs::path resolved = fs::weakly_canonical(file, error);
    if (!error) file = resolved;
  }
  // A link to a list not yet written is followed too: replacing the link
  // would leave the list where the user did not put it.
  for (int depth = 0;
       depth < 40 && !fs::exists(status) && fs::is_symlink(fs::symlink_status(file, error));
       ++depth) {
    const fs::path next = fs::read_symlink(file, error);
    if (error) break;
    file = next.is_absolute() ? next : file.parent_path() / next;
  }
  target.inPlace = fs::exists(status) && !fs::is_regular_file(status);
  const fs::path folder = fs::weakly_canonical(file.parent_path(), error);
  target.file = (error ? file : folder / file.filename()).string();
  if (!error) target.folder = folder.string() + (folder.string().back() == '/' ? "" : "/");
  return target;
}

// Relative to the list's folder where the path lies below it, as the
// launcher joins relative entries to its own folder; unchanged elsewhere.
std::string AsEntryPath(const std::string& path, const std::string& folder) {
  if (!folder.empty() && path.size() > folder.size() &&
      path.compare(0, folder.size(), folder) == 0) {
    return path.substr(folder.size());
  }
  return path;
}

std::string ListText(const std::vector<std::string>& paths, const std::string& folder) {
  TiXmlDocument document;
  document.InsertEndChild(TiXmlDeclaration("1.0", "UTF-8", ""));
  TiXmlNode* root = document.InsertEndChild(TiXmlElement("SpeedLauncher"));
  TiXmlElement section("Application");
  section.SetAttribute("name", "pellicor");
  TiXmlNode* files = root->InsertEndChild(section)->InsertEndChild(TiXmlElement("FileList"));
  for (const std::string& path : paths) {
    TiXmlElement entry("File");
    entry.SetAttribute("fileRelativePath", AsEntryPath(path, folder));
    entry.SetAttribute("isForeground", "1");
    files->InsertEndChild(entry);
  }
  TiXmlPrinter printer;
  printer.SetIndent("  ");
  document.Accept(&printer);
  return printer.Str();
}

// Empty when written, else the system's reason.
std::string WriteAll(const std::string& file, const std::string& text) {
  errno = 0;
  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  if (stream) stream.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (stream) stream.close();
  if (stream) return {};
  return std::generic_category().message(errno != 0 ? errno : EIO);
}

// A file is written beside the target and renamed over it, so that a
// failed or interrupted run leaves the old list whole.
bool WriteList(const std::string& text, const ListTarget& target, std::ostream& out,
               std::ostream& errors) {
  if (target.toStandardOutput) {
    // A failure is reported once, with its reason, as for every command's output.
    errno = 0;
    out << text << std::flush;
    return static_cast<bool>(out);
  }
  std::string why;
  if (target.inPlace) {
    why = WriteAll(target.file, text);
  } else {
    boost::system::error_code error;
    const fs::path file(target.file);
    const fs::path temporary =
        file.parent_path() / fs::unique_path("." + file.filename().string() + ".%%%%%%%%.tmp");
    why = WriteAll(temporary.string(), text);
    if (why.empty()) {
      const fs::file_status old = fs::status(file, error);
      if (fs::is_regular_file(old)) fs::permissions(temporary, old.permissions(), error);
      fs::rename(temporary, file, error);
      if (error) why = error.message();
    }
    if (!why.empty()) fs::remove(temporary, error);
  }
  if (why.empty()) return true;
  Report(errors, Printable(target.file), 0, Severity::kError, "cannot write the list: " + why);
  return false;
}

// Said before the program runs, rather than after a long recording: a list
// that could not be written where it was asked for.
std::string WhyNotWritable(const ListTarget& target) {
  if (target.toStandardOutput) return {};
  boost::system::error_code error;
  const fs::path file(target.file);
  if (fs::is_directory(fs::status(file, error))) return std::generic_category().message(EISDIR);
  const fs::file_status folder = fs::status(file.parent_path(), error);
  if (!fs::exists(folder)) return std::generic_category().message(ENOENT);
  if (!fs::is_directory(folder)) return std::generic_category().message(ENOTDIR);
  if (target.inPlace) return {};
  // The list is made beside its target: a folder that takes no new file
  // (read-only, not the user's) is found out before the program runs.
  const fs::path probe =
      file.parent_path() / fs::unique_path("." + file.filename().string() + ".%%%%%%%%.tmp");
  std::string why = WriteAll(probe.string(), {});
  fs::remove(probe, error);
  return why;
}

struct Recorded {
  std::vector<std::string> paths;  // in first reading order, each once
  std::unordered_set<std::string> seen;
};

// Only what the program found there and left as it was: a file it made,
// wrote, truncated or deleted will not be there, or not so, next time.
std::vector<std::string> FilesToList(const Recorded& recorded, const ListTarget& target,
                                     const platform::FileClockStamp& startedAt,
                                     std::size_t& changed, std::ostream& errors) {
  std::vector<std::string> kept;
  for (const std::string& path : recorded.paths) {
    if (InSystemFolder(path) || path == target.file) continue;
    if (!platform::UnchangedSince(path, startedAt)) {
      ++changed;
      continue;
    }
    if (!platform::IsWellFormedUtf8(path)) {
      Report(errors, Printable(path), 0, Severity::kWarning,
             "left out: the name is not UTF-8, which a list cannot hold");
      continue;
    }
    kept.push_back(path);
  }
  return kept;
}

}  // namespace

int RunRecord(const Options& options, std::ostream& out, std::ostream& errors) {
  const ListTarget target = TargetOf(options.output);
  if (const std::string why = WhyNotWritable(target); !why.empty()) {
    Report(errors, Printable(target.file), 0, Severity::kError, "cannot write the list: " + why);
    return 1;
  }
  Recorded recorded;
  platform::TraceListener listener;
  listener.read = [&recorded](const std::string& path) {
    if (recorded.seen.insert(path).second) recorded.paths.push_back(path);
  };
  listener.unprivileged = [&errors](const std::string& program, const std::string& privilege) {
    Report(errors, Printable(program), 0, Severity::kWarning,
           "runs without its " + privilege + " privileges while recorded");
  };
  const platform::TraceOutcome outcome =
      platform::TraceFileOpens(options.program, options.seconds, listener);
  const std::string reason = std::system_category().message(outcome.error);
  if (outcome.failure == platform::TraceFailure::kCannotRun) {
    Report(errors, Printable(options.program.front()), 0, Severity::kError,
           "cannot run: " + reason);
    return outcome.error == ENOENT ? 127 : 126;  // as a shell says it
  }
  if (outcome.failure == platform::TraceFailure::kCannotTrace) {
    Report(errors, Printable(options.program.front()), 0, Severity::kError,
           "cannot trace: " + reason);
    return 125;
  }
  std::size_t changed = 0;
  const std::vector<std::string> paths =
      FilesToList(recorded, target, outcome.startedAt, changed, errors);
  if (!WriteList(ListText(paths, target.folder), target, out, errors)) return 1;
  errors << "speedlauncher: recorded " << paths.size() << " files into "
         << (target.toStandardOutput ? "standard output" : Printable(target.file));
  if (changed > 0) errors << "; left out " << changed << " the program made or changed";
  if (outcome.timedOut) errors << "; time ran out, the program goes on untraced";
  errors << '\n';
  return outcome.timedOut ? 0 : outcome.exitStatus;
}

}  // namespace speedlauncher
