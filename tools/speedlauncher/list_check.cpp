#include "list_check.h"

#include <tinyxml.h>

#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/filesystem/path.hpp>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string_view>
#include <system_error>

#include "platform/directory_listing.h"
#include "platform/file_open.h"
#include "prefetch/lists/application_lists.h"
#include "prefetch/lists/entry_expansion.h"
#include "prefetch/lists/item_pattern.h"
#include "prefetch/lists/list_file.h"
#include "prefetch/lists/list_structure.h"
#include "prefetch/worker/prefetch_worker.h"

namespace speedlauncher {
namespace {

namespace fs = boost::filesystem;
using SpeedLauncher::EntryAttributes;

const std::initializer_list<std::string_view> kEntryAttributes = {
    "fileRelativePath", "fileBasePath", "fileStandardPath", "regex", "isForeground"};

// As a "%d" conversion would find one: blanks, a sign, then a digit.
bool StartsWithNumber(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]));
}

bool ValidPattern(const std::string& pattern) {
  try {
    const SpeedLauncher::ItemPattern compiled(pattern);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Empty when the file opens for reading, else the system's reason.
std::string WhyUnreadable(const std::string& path) {
  errno = 0;
  if (std::FILE* file = platform::OpenFile(path, "rb")) {
    std::fclose(file);
    return {};
  }
  return std::generic_category().message(errno);
}

class Checker {
 public:
  Checker(std::string directory, std::uint32_t mode)
      : directory_(std::move(directory)),
        mode_(mode),
        readList_(SpeedLauncher::ListNameReadInMode(mode)) {}

  void Document(const TiXmlDocument& document) {
    bool readListHasSection = false;
    for (const TiXmlElement* section = SpeedLauncher::FirstSection(document); section != nullptr;
         section = SpeedLauncher::NextElement(*section)) {
      const char* name = section->Attribute("name");
      readListHasSection = readListHasSection || (name != nullptr && name == readList_);
      Section(*section);
    }
    if (!readList_.empty() && !readListHasSection) {
      Report(nullptr, Severity::kError,
             "no section for the \"" + readList_ + "\" list, which mode " + std::to_string(mode_) +
                 " reads: nothing is read");
    }
  }

  std::vector<Finding> Take() { return std::move(findings_); }

 private:
  void Report(const TiXmlBase* node, Severity severity, const std::string& message) {
    findings_.push_back({node == nullptr ? 0 : node->Row(), severity, message});
  }

  void Section(const TiXmlElement& section) {
    const char* name = section.Attribute("name");
    if (name == nullptr || *name == '\0') {
      return Report(&section, Severity::kError, "section without a name: skipped");
    }
    const SpeedLauncher::ApplicationLists lists;
    if (lists.Find(name) == nullptr) return UnknownSection(section, name);
    UnknownAttributes(section, {"name"});
    for (const TiXmlElement* entry = SpeedLauncher::FirstEntry(section); entry != nullptr;
         entry = SpeedLauncher::NextElement(*entry)) {
      Entry(*entry, name);
    }
  }

  void UnknownSection(const TiXmlElement& section, const std::string& name) {
    for (std::string_view known : SpeedLauncher::kApplicationNames) {
      if (boost::iequals(name, known)) {
        return Report(&section, Severity::kError,
                      "section \"" + name + "\" is skipped: names are compared with case; " +
                          "did you mean \"" + std::string(known) + "\"?");
      }
    }
    Report(&section, Severity::kError, "section with unknown name \"" + name + "\": skipped");
  }

  void UnknownAttributes(const TiXmlElement& element,
                         std::initializer_list<std::string_view> known) {
    for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute != nullptr;
         attribute = attribute->Next()) {
      if (std::find(known.begin(), known.end(), attribute->Name()) != known.end()) continue;
      Report(&element, Severity::kWarning,
             "unknown attribute \"" + std::string(attribute->Name()) + "\" is ignored");
    }
  }

  void Entry(const TiXmlElement& element, const std::string& list) {
    UnknownAttributes(element, kEntryAttributes);
    const EntryAttributes entry = SpeedLauncher::ReadEntry(element);
    Foreground(element, entry, list);
    if (entry.NamesNothing()) {
      return Report(&element, Severity::kWarning, "entry names no path: it yields nothing");
    }
    std::string location;
    if (!entry.keyword.empty() && !SpeedLauncher::StandardLocation(entry.keyword, location)) {
      Report(&element, Severity::kWarning,
             "unknown keyword \"" + entry.keyword + "\" has no effect");
    }
    const bool baseUsed = location.empty() && !fs::path(entry.relativePath).is_absolute();
    if (baseUsed && !entry.basePath.empty() && !fs::path(entry.basePath).is_absolute()) {
      Report(&element, Severity::kWarning,
             "relative fileBasePath \"" + entry.basePath + "\" depends on the current folder");
    }
    if (!entry.pattern.empty() && !ValidPattern(entry.pattern)) {
      return Report(&element, Severity::kError,
                    "invalid regular expression \"" + entry.pattern + "\": entry yields nothing");
    }
    Target(element, entry, list);
  }

  void Foreground(const TiXmlElement& element, const EntryAttributes& entry,
                  const std::string& list) {
    const std::string text = SpeedLauncher::AttributeText(element, "isForeground");
    if (!text.empty() && !StartsWithNumber(text)) {
      Report(&element, Severity::kWarning,
             "isForeground \"" + text + "\" does not start with a number: read as background");
    }
    if (entry.isForeground && list != readList_) {
      Report(&element, Severity::kWarning,
             "foreground entry in the \"" + list + "\" list, which mode " + std::to_string(mode_) +
                 " never reads");
    }
  }

  void Target(const TiXmlElement& element, const EntryAttributes& entry, const std::string& list) {
    const std::string path = SpeedLauncher::FullPath(entry, directory_);
    int error = 0;
    const platform::EntryKind kind = platform::KindOfPath(path, error);
    if (kind != platform::EntryKind::kRegular && kind != platform::EntryKind::kDirectory) {
      return Report(&element, Severity::kError, "path does not exist: " + path);
    }
    if (kind == platform::EntryKind::kRegular && !entry.pattern.empty()) {
      Report(&element, Severity::kWarning, "regex is ignored: the entry names a single file");
    }
    std::vector<std::string> items;
    SpeedLauncher::ExpansionContext context{directory_, [] { return false; }, nullptr, {}};
    context.walkError = [&](const std::string& where, const std::string& reason) {
      Report(&element, Severity::kError,
             "cannot walk " + where + ": " + reason + "; the rest of the entry is skipped");
    };
    SpeedLauncher::ExpandEntry(entry, context,
                               [&items](const std::string& item, bool) { items.push_back(item); });
    if (kind == platform::EntryKind::kDirectory && items.empty()) {
      Report(&element, Severity::kWarning,
             entry.pattern.empty() ? "no files below " + path
                                   : "pattern selects nothing below " + path);
    }
    Items(element, entry, list, items);
  }

  void Items(const TiXmlElement& element, const EntryAttributes& entry, const std::string& list,
             const std::vector<std::string>& items) {
    if (!entry.isForeground || list != readList_) return;  // only what is read matters here
    bool duplicateReported = false;
    for (const std::string& item : items) {
      const auto [found, isNew] = read_.emplace(item, element.Row());
      if (!isNew && !duplicateReported) {
        duplicateReported = true;
        Report(&element, Severity::kWarning,
               item + " is also named on line " + std::to_string(found->second) +
                   ": it is read twice");
      }
      const std::string why = WhyUnreadable(item);
      if (!why.empty()) Report(&element, Severity::kError, "cannot read " + item + ": " + why);
    }
  }

  std::string directory_;
  std::uint32_t mode_;
  std::string readList_;
  std::map<std::string, int> read_;  // each file the mode reads, with its first line
  std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> CheckListFile(const std::string& path, const std::string& directory,
                                   std::uint32_t mode) {
  TiXmlDocument document;
  if (!SpeedLauncher::ParseListFile(path, document)) {
    std::string why = document.Error() ? document.ErrorDesc() : "cannot be opened or is empty";
    return {
        {document.Error() ? document.ErrorRow() : 0, Severity::kError, "not a list file: " + why}};
  }
  Checker checker(directory, mode);
  checker.Document(document);
  return checker.Take();
}

}  // namespace speedlauncher
