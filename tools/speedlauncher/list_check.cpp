#include "tools/speedlauncher/list_check.h"

#include <tinyxml.h>

#include <boost/filesystem/operations.hpp>
#include <boost/regex.hpp>
#include <initializer_list>
#include <sstream>
#include <string_view>

#include "prefetch/lists/application_lists.h"
#include "prefetch/lists/entry_expansion.h"
#include "prefetch/lists/list_file.h"
#include "prefetch/lists/list_structure.h"

namespace speedlauncher {
namespace {

namespace fs = boost::filesystem;
using SpeedLauncher::EntryAttributes;

const std::initializer_list<std::string_view> kEntryAttributes = {
    "fileRelativePath", "fileBasePath", "fileStandardPath", "regex", "isForeground"};

class Checker {
 public:
  explicit Checker(std::string directory) : directory_(std::move(directory)) {}

  void Document(const TiXmlDocument& document) {
    for (const TiXmlElement* section = SpeedLauncher::FirstSection(document); section != nullptr;
         section = SpeedLauncher::NextElement(*section)) {
      Section(*section);
    }
  }

  std::vector<Finding> Take() { return std::move(findings_); }

 private:
  void Report(const TiXmlBase& node, const std::string& message) {
    findings_.push_back({node.Row(), message});
  }

  void Section(const TiXmlElement& section) {
    const char* name = section.Attribute("name");
    if (name == nullptr || *name == '\0') return Report(section, "section without a name");
    const SpeedLauncher::ApplicationLists lists;
    if (lists.Find(name) == nullptr) {
      return Report(section, "section with unknown name \"" + std::string(name) + "\"");
    }
    UnknownAttributes(section, {"name"});
    for (const TiXmlElement* entry = SpeedLauncher::FirstEntry(section); entry != nullptr;
         entry = SpeedLauncher::NextElement(*entry)) {
      Entry(*entry);
    }
  }

  void UnknownAttributes(const TiXmlElement& element,
                         std::initializer_list<std::string_view> known) {
    for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute != nullptr;
         attribute = attribute->Next()) {
      bool isKnown = false;
      for (std::string_view name : known) isKnown = isKnown || name == attribute->Name();
      if (!isKnown) Report(element, "unknown attribute \"" + std::string(attribute->Name()) + "\"");
    }
  }

  void Entry(const TiXmlElement& element) {
    UnknownAttributes(element, kEntryAttributes);
    const EntryAttributes entry = SpeedLauncher::ReadEntry(element);
    if (entry.NamesNothing()) return Report(element, "entry without a path");
    std::string location;
    if (!entry.keyword.empty() && !SpeedLauncher::StandardLocation(entry.keyword, location)) {
      Report(element, "unknown keyword \"" + entry.keyword + "\"");
    }
    if (!entry.pattern.empty() && !ValidPattern(entry.pattern)) {
      return Report(element, "invalid regular expression \"" + entry.pattern + "\"");
    }
    Target(element, entry);
  }

  static bool ValidPattern(const std::string& pattern) {
    try {
      boost::regex compiled(pattern);
      return true;
    } catch (const std::exception&) {
      return false;
    }
  }

  void Target(const TiXmlElement& element, const EntryAttributes& entry) {
    const std::string path = SpeedLauncher::FullPath(entry, directory_);
    boost::system::error_code error;
    const fs::file_status status = fs::status(fs::path(path), error);
    if (!fs::is_regular_file(status) && !fs::is_directory(status)) {
      return Report(element, "path does not exist: " + path);
    }
    if (!fs::is_directory(status)) return;
    std::ostringstream errors;
    const SpeedLauncher::ExpansionContext context{directory_, [] { return false; }, &errors};
    SpeedLauncher::PrefetchList items;
    SpeedLauncher::ExpandEntry(entry, context,
                               [&items](const std::string& item, bool isForeground) {
                                 items.push_back({item, isForeground});
                               });
    if (!errors.str().empty()) Report(element, "error while walking " + path + ": " + errors.str());
    if (items.empty()) {
      Report(element, entry.pattern.empty() ? "no files below " + path
                                            : "pattern matches nothing below " + path);
    }
  }

  std::string directory_;
  std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> CheckListFile(const std::string& path, const std::string& directory) {
  TiXmlDocument document;
  if (!SpeedLauncher::ParseListFile(path, document)) {
    std::string why = document.Error() ? document.ErrorDesc() : "cannot be opened or is empty";
    return {{document.Error() ? document.ErrorRow() : 0, "not a list file: " + why}};
  }
  Checker checker(directory);
  checker.Document(document);
  return checker.Take();
}

}  // namespace speedlauncher
