#include "list_check.h"

#include <tinyxml.h>

#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/filesystem/path.hpp>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "list_loading.h"
#include "path_reason.h"
#include "platform/file_identity.h"
#include "platform/file_open.h"
#include "platform/utf_common.h"
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

  // The root's children as the launcher takes them: nothing before the
  // first "Application", every element from it on a section.
  void Document(const TiXmlDocument& document) {
    bool readListHasSection = false;
    bool inSections = false;
    const TiXmlElement* root = document.FirstChildElement();
    for (const TiXmlElement* child = root == nullptr ? nullptr : root->FirstChildElement();
         child != nullptr; child = child->NextSiblingElement()) {
      const std::string element = child->Value();
      if (!inSections && element != "Application") {
        Skipped(*child, "Application", child->Attribute("name") != nullptr);
        continue;
      }
      if (inSections && element != "Application") {
        Report(child, Severity::kWarning,
               "<" + element +
                   "> is read as a section: every element after the first "
                   "<Application> is one");
      }
      inSections = true;
      const char* name = child->Attribute("name");
      readListHasSection = readListHasSection || (name != nullptr && name == readList_);
      Section(*child);
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

  // An element the launcher passes over where it looks for `expected`;
  // an error when it was meant to be read (a name in another case, or the
  // attributes of what is expected).
  void Skipped(const TiXmlElement& element, const char* expected, bool looksMeant) {
    const std::string name = element.Value();
    if (boost::iequals(name, expected)) {
      return Report(&element, Severity::kError,
                    "<" + name +
                        "> is skipped: element names are compared with case; did you "
                        "mean <" +
                        expected + ">?");
    }
    Report(&element, looksMeant ? Severity::kError : Severity::kWarning,
           "<" + name + "> before the first <" + expected + "> is skipped");
  }

  void Section(const TiXmlElement& section) {
    const char* name = section.Attribute("name");
    if (name == nullptr || *name == '\0') {
      return Report(&section, Severity::kError, "section without a name: skipped");
    }
    const SpeedLauncher::ApplicationLists lists;
    if (lists.Find(name) == nullptr) return UnknownSection(section, name);
    UnknownAttributes(section, {"name"});
    const TiXmlElement* fileList = nullptr;
    for (const TiXmlElement* child = section.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
      const std::string element = child->Value();
      if (element == "FileList" && fileList == nullptr) {
        fileList = child;
      } else if (element == "FileList") {
        const bool hasEntries = child->FirstChildElement() != nullptr;
        Report(child, hasEntries ? Severity::kError : Severity::kWarning,
               std::string("a second <FileList> is ignored: a section reads only its first") +
                   (hasEntries ? ", so its entries are not read" : ""));
      } else if (boost::iequals(element, "FileList")) {
        Report(child, Severity::kError,
               "<" + element +
                   "> is ignored: element names are compared with case; did you "
                   "mean <FileList>?");
      } else {
        Report(child, Severity::kWarning,
               "<" + element + "> is ignored: a section reads only its <FileList>");
      }
    }
    if (fileList != nullptr) Entries(*fileList, name);
  }

  // As the launcher takes them: nothing before the first "File", every
  // element from it on an entry.
  void Entries(const TiXmlElement& fileList, const std::string& list) {
    bool inEntries = false;
    for (const TiXmlElement* child = fileList.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
      const std::string element = child->Value();
      if (!inEntries && element != "File") {
        Skipped(*child, "File", HasEntryAttribute(*child));
        continue;
      }
      if (inEntries && element != "File") {
        Report(
            child, Severity::kWarning,
            "<" + element + "> is read as an entry: every element after the first <File> is one");
      }
      inEntries = true;
      Entry(*child, list);
    }
  }

  static bool HasEntryAttribute(const TiXmlElement& element) {
    for (std::string_view name : kEntryAttributes) {
      if (element.Attribute(std::string(name).c_str()) != nullptr) return true;
    }
    return false;
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
    std::vector<std::string> items;
    bool passedOver = false;
    bool walkFailed = false;
    SpeedLauncher::ExpansionContext context{directory_, [] { return false; }, nullptr, {}};
    context.walkError = [&](const std::string& where, const std::string& reason) {
      walkFailed = true;
      Report(&element, Severity::kError,
             where == path
                 ? "cannot read " + path + ": " + reason + "; the entry yields nothing"
                 : "cannot walk " + where + ": " + reason + "; the rest of the entry is skipped");
    };
    context.passedOver = [&passedOver](const std::string&) { passedOver = true; };
    context.linkedFolder = [&](const std::string& folder) {
      Report(&element, Severity::kWarning,
             folder + " is a folder reached through a link: it is not entered");
    };
    SpeedLauncher::ExpandEntry(entry, context,
                               [&items](const std::string& item, bool) { items.push_back(item); });
    if (passedOver) {
      return Report(&element, Severity::kError, "cannot read " + path + ": " + WhyNotAFile(path));
    }
    const bool isFile = items.size() == 1 && items.front() == path;
    if (isFile && !entry.pattern.empty()) {
      Report(&element, Severity::kWarning, "regex is ignored: the entry names a single file");
    }
    if (!isFile && items.empty() && !walkFailed) {
      Report(&element, Severity::kWarning,
             entry.pattern.empty() ? "no files below " + path
                                   : "pattern selects nothing below " + path);
    }
    Items(element, entry, list, items);
  }

  // Each file the mode reads, by identity: two spellings of one file are
  // one file read twice.
  void Items(const TiXmlElement& element, const EntryAttributes& entry, const std::string& list,
             const std::vector<std::string>& items) {
    if (!entry.isForeground || list != readList_) return;  // only what is read matters here
    bool duplicateReported = false;
    for (const std::string& item : items) {
      const std::string why = WhyUnreadable(item);
      if (!why.empty()) {
        Report(&element, Severity::kError, "cannot read " + item + ": " + why);
        continue;
      }
      platform::FileIdentity identity;
      int error = 0;
      if (!platform::IdentifyFile(item, identity, error)) continue;
      const auto [found, isNew] = read_.emplace(identity, Named{element.Row(), item});
      if (isNew || duplicateReported) continue;
      duplicateReported = true;
      const Named& first = found->second;
      Report(&element, Severity::kWarning,
             item + " is also named on line " + std::to_string(first.line) +
                 (first.path == item ? "" : " as " + first.path) + ": it is read twice");
    }
  }

  struct Named {
    int line;
    std::string path;
  };

  std::string directory_;
  std::uint32_t mode_;
  std::string readList_;
  // Each file the mode reads, with where it was first named.
  std::unordered_map<platform::FileIdentity, Named, platform::FileIdentityHash> read_;
  std::vector<Finding> findings_;
};

}  // namespace

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The list's text, or the finding that says why there is none to parse.
std::optional<std::string> ReadListText(const std::string& path, Finding& refusal) {
  refusal = {0, Severity::kError, ""};
  if (path == "-") {
    std::string text = StandardInputText();
    if (!text.empty()) return text;
    refusal.message = "not a list file: standard input is empty";
    return std::nullopt;
  }
  // The launcher opens its list by a name taken through UTF-16, which a
  // byte that is not UTF-8 does not survive.
  if (!platform::IsWellFormedUtf8(path)) {
    refusal.message = "cannot be loaded: its path is not UTF-8, so the launcher cannot open it";
    return std::nullopt;
  }
  errno = 0;
  const std::unique_ptr<std::FILE, FileCloser> file(platform::OpenFile(path, "rb"));
  if (!file) {
    refusal.message = "cannot open the list: " + std::generic_category().message(errno);
    return std::nullopt;
  }
  std::string text;
  char chunk[65536];
  std::size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) text.append(chunk, count);
  if (std::ferror(file.get())) {
    refusal.message = "cannot read the list: " + std::generic_category().message(errno);
    return std::nullopt;
  }
  if (text.empty()) {
    refusal.message = "not a list file: the file is empty";
    return std::nullopt;
  }
  return text;
}

// The line of the first byte that is not part of well-formed UTF-8, which
// the launcher refuses the whole list for; 0 when there is none.
int FirstLineNotUtf8(const std::string& text, std::string& bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  int line = 1;
  for (std::size_t at = 0; at < text.size();) {
    const platform::Utf8Decoded decoded = platform::DecodeUtf8(data + at, text.size() - at);
    if (decoded.status != platform::Utf8Status::kValid) {
      bytes = Printable(text.substr(at, decoded.length));
      return line;
    }
    if (text[at] == '\n' || (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'))) {
      ++line;
    }
    at += decoded.length;
  }
  return 0;
}

}  // namespace

std::vector<Finding> CheckListFile(const std::string& path, const std::string& directory,
                                   std::uint32_t mode) {
  Finding refusal;
  std::optional<std::string> text = ReadListText(path, refusal);
  if (!text) return {refusal};
  std::string bytes;
  if (const int line = FirstLineNotUtf8(*text, bytes); line > 0) {
    return {{line, Severity::kError,
             "not a list file: not UTF-8 (" + bytes + "), so the launcher reads none of it"}};
  }
  if (SpeedLauncher::NestsTooDeeply(*text)) {
    return {{0, Severity::kError,
             "not a list file: elements nested more than " +
                 std::to_string(SpeedLauncher::kMaxListNesting) +
                 " deep, which the launcher refuses"}};
  }
  TiXmlDocument document;
  if (!SpeedLauncher::ParseListText(std::move(*text), document)) {
    return {{document.ErrorRow(), Severity::kError,
             std::string("not a list file: ") + document.ErrorDesc()}};
  }
  Checker checker(directory, mode);
  checker.Document(document);
  return checker.Take();
}

}  // namespace speedlauncher
