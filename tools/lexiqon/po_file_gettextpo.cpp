// PO files through gettext's own library, libgettextpo.
#include <gettext-po.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

#include "errors.h"
#include "input_file.h"
#include "po_file.h"
#include "text_output.h"

namespace lexiqon {
namespace {

// The library reports through plain functions without a context pointer:
// the errors of the call under way are counted here, one call per thread.
thread_local std::size_t* errorCount = nullptr;

class CountErrors {
 public:
  CountErrors() { errorCount = &count_; }
  CountErrors(const CountErrors&) = delete;
  CountErrors& operator=(const CountErrors&) = delete;
  ~CountErrors() { errorCount = nullptr; }
  std::size_t Count() const { return count_; }

 private:
  std::size_t count_ = 0;
};

// Problems go straight to standard error in the tool's format; a fatal one
// must not return.
void ReportProblem(int severity, po_message_t, const char* file, std::size_t line, std::size_t, int,
                   const char* text) {
  std::cerr << "lexiqon: ";
  if (file != nullptr) {
    std::cerr << file;
    if (line != static_cast<std::size_t>(-1)) std::cerr << ':' << line;
    std::cerr << ": ";
  }
  std::cerr << (severity == PO_SEVERITY_WARNING ? "warning: " : "error: ") << text;
  if (*text == '\0' || text[std::char_traits<char>::length(text) - 1] != '\n') std::cerr << '\n';
  if (severity != PO_SEVERITY_WARNING && errorCount != nullptr) ++*errorCount;
  if (severity == PO_SEVERITY_FATAL_ERROR) std::exit(2);
}

void ReportPair(int severity, po_message_t message, const char* file, std::size_t line,
                std::size_t column, int multiline, const char* text, po_message_t,
                const char* file2, std::size_t line2, std::size_t column2, int multiline2,
                const char* text2) {
  ReportProblem(severity == PO_SEVERITY_FATAL_ERROR ? PO_SEVERITY_ERROR : severity, message, file,
                line, column, multiline, text);
  ReportProblem(severity, message, file2, line2, column2, multiline2, text2);
}

const po_xerror_handler kHandler = {ReportProblem, ReportPair};

struct PoFileFree {
  void operator()(po_file_t file) const { po_file_free(file); }
};
using PoFile = std::unique_ptr<std::remove_pointer_t<po_file_t>, PoFileFree>;

struct IteratorFree {
  void operator()(po_message_iterator_t iterator) const { po_message_iterator_free(iterator); }
};
using MessageIterator = std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorFree>;

// Key bytes are 8-bit; in a PO file they are the Latin-1 characters.
std::string KeyToUtf8(const std::string& key) {
  std::u16string wide;
  for (char byte : key) wide.push_back(static_cast<unsigned char>(byte));
  return ToUtf8(wide);
}

bool KeyFromUtf8(const char* text, std::string& key) {
  key.clear();
  for (char16_t unit : FromUtf8(text)) {
    if (unit > 0xFF) return false;
    key.push_back(static_cast<char>(unit));
  }
  return true;
}

// Where the library writes: a private temporary file, read back whole, so
// that the user's target is written by WriteOutput's rules alone.
class ScratchFile {
 public:
  ScratchFile() {
    const char* folder = std::getenv("TMPDIR");
    path_ =
        std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/lexiqon-po-XXXXXX";
    const int fd = ::mkstemp(path_.data());
    if (fd < 0) throw FileError(path_, std::strerror(errno));
    ::close(fd);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile() { ::unlink(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

constexpr char kHeader[] =
    "Project-Id-Version: Pellicor 19.0\n"
    "Report-Msgid-Bugs-To: \n"
    "PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\n"
    "Last-Translator: FULL NAME <EMAIL@ADDRESS>\n"
    "Language-Team: LANGUAGE <LL@li.org>\n"
    "Language: \n"
    "MIME-Version: 1.0\n"
    "Content-Type: text/plain; charset=UTF-8\n"
    "Content-Transfer-Encoding: 8bit\n";

bool Writable(const std::u16string& text) { return text.find(u'\0') == std::u16string::npos; }

}  // namespace

PoCatalog ReadPo(const std::string& path, Reporter& report) {
  CheckReadable(path);  // the system's reason for a file that cannot be read
  const CountErrors errors;
  const PoFile file(po_file_read(path.c_str(), &kHandler));
  if (!file || errors.Count() != 0) throw FileError(path, "cannot read the PO file");
  PoCatalog catalog;
  catalog.entries.reserve(1024);
  const MessageIterator messages(po_message_iterator(file.get(), nullptr));
  while (po_message_t message = po_next_message(messages.get())) {
    const char* context = po_message_msgctxt(message);
    if (po_message_is_obsolete(message) != 0) continue;
    if (context == nullptr) {
      if (*po_message_msgid(message) != '\0') {
        report.Warning(path, std::string("message without msgctxt left out: \"") +
                                 po_message_msgid(message) + "\"");
      }
      continue;  // the header, or a message that names no key
    }
    const std::string translation = po_message_msgstr(message);
    if (translation.empty()) {
      ++catalog.untranslated;
      continue;
    }
    if (po_message_is_fuzzy(message) != 0) {
      ++catalog.fuzzy;
      continue;
    }
    std::string key;
    if (!KeyFromUtf8(context, key)) {
      report.Error(path, std::string("msgctxt \"") + context +
                             "\" holds characters beyond 8 bits; left out");
      continue;
    }
    catalog.entries.push_back({std::move(key), FromUtf8(translation)});
  }
  return catalog;
}

std::string WritePo(const std::vector<PoMessage>& messages, Reporter& report) {
  const PoFile file(po_file_create());
  const MessageIterator iterator(po_message_iterator(file.get(), nullptr));
  po_message_t header = po_message_create();
  po_message_set_msgid(header, "");
  po_message_set_msgstr(header, kHeader);
  po_message_insert(iterator.get(), header);
  for (const PoMessage& message : messages) {
    if (!Writable(message.source) || !Writable(message.translation)) {
      report.Error("-", "the value of \"" + message.key + "\" holds a NUL; PO cannot carry it");
      continue;
    }
    po_message_t out = po_message_create();
    po_message_set_msgctxt(out, KeyToUtf8(message.key).c_str());
    po_message_set_msgid(out, ToUtf8(message.source).c_str());
    po_message_set_msgstr(out, ToUtf8(message.translation).c_str());
    po_message_insert(iterator.get(), out);
  }
  ScratchFile scratch;
  const CountErrors errors;
  if (po_file_write(file.get(), scratch.Path().c_str(), &kHandler) == nullptr ||
      errors.Count() != 0) {
    throw FileError(scratch.Path(), "cannot write the PO file");
  }
  return ReadInput(scratch.Path());
}

}  // namespace lexiqon
