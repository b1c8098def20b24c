// PO files through gettext's own library, libgettextpo, and iconv for the
// header's charset.
#include <gettext-po.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <thread>

#include "errors.h"
#include "platform/code_page.h"
#include "po_file.h"
#include "po_lines.h"
#include "text_output.h"

namespace lexiqon {
namespace {

// The library reports through plain functions without a context pointer:
// the call under way is described here, one call per thread.
struct LibraryCall {
  Reporter* report = nullptr;
  std::string shown;  // the user's name for the file
  std::size_t errors = 0;
  std::set<std::size_t> duplicates;  // msgid lines of messages the library merged
};
thread_local LibraryCall* call = nullptr;

class CallScope {
 public:
  CallScope(Reporter& report, std::string shown) {
    call_.report = &report;
    call_.shown = std::move(shown);
    call = &call_;
  }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;
  ~CallScope() { call = nullptr; }
  LibraryCall& Call() { return call_; }

 private:
  LibraryCall call_;
};

// One line per finding: the library's own line breaks become spaces.
std::string OneLine(const char* text) {
  std::string line = text;
  while (!line.empty() && line.back() == '\n') line.pop_back();
  std::replace(line.begin(), line.end(), '\n', ' ');
  return line;
}

std::string Where(const char* file, std::size_t line) {
  std::string where = call->shown;
  if (file != nullptr && line != static_cast<std::size_t>(-1) && line != 0) {
    where += ':' + std::to_string(line);
  }
  return where;
}

// A fatal problem must not return.
void ReportProblem(int severity, po_message_t, const char* file, std::size_t line, std::size_t, int,
                   const char* text) {
  if (call == nullptr) return;
  if (severity == PO_SEVERITY_WARNING) {
    call->report->Warning(Where(file, line), OneLine(text));
    return;
  }
  ++call->errors;
  call->report->Error(Where(file, line), OneLine(text));
  if (severity == PO_SEVERITY_FATAL_ERROR) {
    std::cerr.flush();
    std::exit(2);
  }
}

void ReportPair(int severity, po_message_t message, const char* file, std::size_t line,
                std::size_t column, int multiline, const char* text, po_message_t,
                const char* file2, std::size_t line2, std::size_t, int, const char* text2) {
  // The library merges a repeated message and names no first location:
  // it is reported with both lines once the messages have theirs.
  if (call != nullptr && file2 == nullptr && severity != PO_SEVERITY_FATAL_ERROR &&
      line != static_cast<std::size_t>(-1)) {
    call->duplicates.insert(line);
    return;
  }
  const std::string both =
      OneLine(text) + " (" + OneLine(text2) + " at " + Where(file2, line2) + ")";
  ReportProblem(severity, message, file, line, column, multiline, both.c_str());
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

// Where the library reads and writes: a private file, so that standard
// input can be read by name and the user's target is written by
// WriteOutput's rules alone.
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

void CopyTo(InputFile& input, const std::string& path) {
  std::FILE* from = input.Rewound();
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> to(std::fopen(path.c_str(), "wb"),
                                                           &std::fclose);
  if (!to) throw FileError(path, std::strerror(errno));
  char buffer[1 << 16];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, from)) != 0;) {
    if (std::fwrite(buffer, 1, got, to.get()) != got) throw FileError(path, std::strerror(errno));
  }
  input.ThrowIfFailed();
  if (std::fflush(to.get()) != 0) throw FileError(path, std::strerror(errno));
}

// Text in the header's charset to UTF-16: UTF-8 straight, any other
// through iconv.
class Recoder {
 public:
  explicit Recoder(const std::string& charset)
      : utf8_(IsUtf8(charset)),
        handle_(utf8_ ? reinterpret_cast<iconv_t>(-1) : ::iconv_open("UTF-8", charset.c_str())) {}
  Recoder(const Recoder&) = delete;
  Recoder& operator=(const Recoder&) = delete;
  ~Recoder() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) ::iconv_close(handle_);
  }
  bool Usable() const { return utf8_ || handle_ != reinterpret_cast<iconv_t>(-1); }

  // None for bytes that are not text of that charset.
  std::optional<std::u16string> ToUtf16(const char* text) {
    if (utf8_) return StrictUtf8(text, std::strlen(text));
    ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    std::size_t left = std::strlen(text);
    std::string out(left * 4 + 16, '\0');
    char* in = const_cast<char*>(text);  // iconv's signature; never written
    char* to = out.data();
    std::size_t room = out.size();
    if (::iconv(handle_, &in, &left, &to, &room) == static_cast<std::size_t>(-1) ||
        ::iconv(handle_, nullptr, nullptr, &to, &room) == static_cast<std::size_t>(-1)) {
      return std::nullopt;
    }
    return StrictUtf8(out.data(), out.size() - room);
  }

 private:
  static bool IsUtf8(std::string charset) {
    std::transform(charset.begin(), charset.end(), charset.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return charset == "UTF-8" || charset == "UTF8";
  }

  static std::optional<std::u16string> StrictUtf8(const char* text, std::size_t size) {
    if (size == 0) return std::u16string();
    const int length = static_cast<int>(size);
    const int units = platform::MultiByteToWideChar(platform::kCpUtf8, platform::kMbErrInvalidChars,
                                                    text, length, nullptr, 0);
    if (units == 0) return std::nullopt;
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    platform::MultiByteToWideChar(platform::kCpUtf8, platform::kMbErrInvalidChars, text, length,
                                  wide.data(), units);
    return wide;
  }

  bool utf8_;
  iconv_t handle_;
};

// The charset the header's Content-Type names; UTF-8 without a header or
// with a template's placeholder.
std::string HeaderCharset(po_file_t file) {
  const char* header = po_file_domain_header(file, nullptr);
  if (header == nullptr) return "UTF-8";
  const std::unique_ptr<char, void (*)(void*)> type(po_header_field(header, "Content-Type"),
                                                    &std::free);
  if (!type) return "UTF-8";
  const std::string_view text = type.get();
  const std::size_t at = text.find("charset=");
  if (at == std::string_view::npos) return "UTF-8";
  std::string_view charset = text.substr(at + 8);
  charset = charset.substr(0, charset.find_first_of("; \t\n"));
  if (charset.empty() || charset == "CHARSET") return "UTF-8";
  return std::string(charset);
}

// Key bytes are 8-bit; in a PO file they are the Latin-1 characters.
std::string KeyToUtf8(const std::string& key) {
  std::u16string wide;
  for (char byte : key) wide.push_back(static_cast<unsigned char>(byte));
  return ToUtf8(wide);
}

bool KeyFromUtf16(const std::u16string& text, std::string& key) {
  key.clear();
  for (char16_t unit : text) {
    if (unit > 0xFF) return false;
    key.push_back(static_cast<char>(unit));
  }
  return true;
}

std::string Quoted(const std::string& text) {
  constexpr std::size_t kShown = 60;
  return "\"" + (text.size() > kShown ? text.substr(0, kShown) + "..." : text) + "\"";
}

// One message's texts in UTF-8, or none when a text is not in the charset.
struct Texts {
  std::optional<std::string> key;
  std::string value;
};

class CatalogReader {
 public:
  CatalogReader(const std::string& shown, const PoReadOptions& options, Reporter& report,
                Recoder& recoder)
      : shown_(shown), options_(options), report_(report), recoder_(recoder) {}

  void Add(po_message_t message, std::uint32_t line) {
    // Made only for a finding: most messages have none.
    const auto where = [&] { return line == 0 ? shown_ : shown_ + ":" + std::to_string(line); };
    if (po_message_is_obsolete(message) != 0) return;
    const char* context = po_message_msgctxt(message);
    if (context == nullptr) {
      if (*po_message_msgid(message) != '\0')
        withoutContext_.push_back(where() + "\n" + po_message_msgid(message));
      return;
    }
    ++withContext_;
    const char* text = Text(message, where);
    if (text == nullptr) return;
    const std::optional<std::u16string> key = recoder_.ToUtf16(context);
    std::optional<std::u16string> value = recoder_.ToUtf16(text);
    if (!key || !value) {
      report_.Error(where(), "text that is not valid in the header's charset; left out");
      return;
    }
    std::string bytes;
    if (!KeyFromUtf16(*key, bytes)) {
      report_.Error(
          where(), "msgctxt " + Quoted(ToUtf8(*key)) + " holds characters beyond 8 bits; left out");
      return;
    }
    entries_.push_back({std::move(bytes), std::move(*value)});
    lines_.push_back(line);
  }

  PoCatalog Finish() {
    if (withContext_ == 0 && !withoutContext_.empty()) {
      report_.Error(shown_,
                    "no message has a msgctxt: lexiqon takes each dictionary key from msgctxt "
                    "(msgctxt \"/Frontend/Title\") and its text from msgstr");
    } else {
      for (const std::string& message : withoutContext_) {
        const std::size_t split = message.find('\n');
        report_.Warning(message.substr(0, split),
                        "message without msgctxt left out: " + Quoted(message.substr(split + 1)));
      }
    }
    // Sorted by key, the first message of a key before its repeats.
    std::vector<std::size_t> order(entries_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
      return entries_[a].key < entries_[b].key;
    });
    catalog_.entries.reserve(order.size());
    catalog_.lines.reserve(order.size());
    for (std::size_t i : order) {
      if (!catalog_.entries.empty() && catalog_.entries.back().key == entries_[i].key) {
        const std::uint32_t first = catalog_.lines.back();
        report_.Error(lines_[i] == 0 ? shown_ : shown_ + ":" + std::to_string(lines_[i]),
                      "msgctxt " + Quoted(KeyToUtf8(entries_[i].key)) + " is already at " +
                          (first == 0 ? shown_ : "line " + std::to_string(first)) +
                          "; a dictionary keeps one text per key, so this message is left out");
        continue;
      }
      catalog_.entries.push_back(std::move(entries_[i]));
      catalog_.lines.push_back(lines_[i]);
    }
    return std::move(catalog_);
  }

 private:
  // The text the message gives its key, or null when it gives none.
  template <typename Where>
  const char* Text(po_message_t message, const Where& where) {
    const char* plural = po_message_msgid_plural(message);
    const char* text = nullptr;
    if (plural != nullptr) {
      if (options_.pluralForm < 0) {
        ++catalog_.plural;
        report_.Error(where(), "plural message " + Quoted(po_message_msgid(message)) +
                                   ": a dictionary holds one text per key (--plural-form N keeps "
                                   "form N); left out");
        return nullptr;
      }
      if (options_.asTemplate) return options_.pluralForm == 0 ? po_message_msgid(message) : plural;
      text = po_message_msgstr_plural(message, options_.pluralForm);
      if (text == nullptr) {
        ++catalog_.plural;
        report_.Error(where(), "plural message " + Quoted(po_message_msgid(message)) +
                                   " has no form " + std::to_string(options_.pluralForm) +
                                   "; left out");
        return nullptr;
      }
    } else {
      text = options_.asTemplate ? po_message_msgid(message) : po_message_msgstr(message);
    }
    if (options_.asTemplate) return text;
    if (*text == '\0') {
      ++catalog_.untranslated;
      return nullptr;
    }
    if (po_message_is_fuzzy(message) != 0) {
      ++catalog_.fuzzy;
      return nullptr;
    }
    return text;
  }

  const std::string& shown_;
  const PoReadOptions& options_;
  Reporter& report_;
  Recoder& recoder_;
  PoCatalog catalog_;
  std::vector<tessvik::CompiledEntry> entries_;  // in file order
  std::vector<std::uint32_t> lines_;
  std::size_t withContext_ = 0;
  std::vector<std::string> withoutContext_;  // "where\nmsgid"
};

// The places of one domain's messages, without the repeats the library
// merged; empty when they do not match the library's count.
std::vector<PoPlace> DomainPlaces(const std::vector<PoPlace>& places, const std::string& domain,
                                  const std::set<std::size_t>& merged, std::size_t count) {
  std::vector<PoPlace> kept;
  for (const PoPlace& place : places) {
    if (place.domain == domain && merged.count(place.msgidLine) == 0) kept.push_back(place);
  }
  if (kept.size() != count) kept.clear();
  return kept;
}

void ReportMerged(const std::vector<PoPlace>& places, const std::set<std::size_t>& merged,
                  const std::string& shown, Reporter& report) {
  for (std::size_t line : merged) {
    const auto repeat = std::find_if(places.begin(), places.end(),
                                     [&](const PoPlace& p) { return p.msgidLine == line; });
    const auto first =
        repeat == places.end()
            ? places.end()
            : std::find_if(places.begin(), repeat, [&](const PoPlace& p) {
                return p.signature == repeat->signature && p.domain == repeat->domain;
              });
    const std::string at =
        repeat == places.end() ? std::to_string(line) : std::to_string(repeat->line);
    report.Error(shown + ":" + at, "duplicate message definition" +
                                       (first == repeat ? std::string()
                                                        : " (the first is at line " +
                                                              std::to_string(first->line) + ")") +
                                       "; this one is left out");
  }
}

std::size_t MessageCount(po_file_t file, const char* domain) {
  const MessageIterator messages(po_message_iterator(file, domain));
  std::size_t count = 0;
  while (po_next_message(messages.get()) != nullptr) ++count;
  return count;
}

}  // namespace

PoCatalog ReadPo(InputFile& input, const PoReadOptions& options, Reporter& report) {
  std::optional<ScratchFile> copy;
  std::string path = input.Path();
  if (input.Copied() || input.Path() == "-") {
    copy.emplace();
    CopyTo(input, copy->Path());
    path = copy->Path();
  }
  // The lines of the messages are found beside the library's own reading,
  // on the other processor.
  std::vector<PoPlace> places;
  std::exception_ptr scanFailure;
  std::jthread scanner([&places, &scanFailure, &path] {
    try {
      InputFile again(path);
      InputBuffer buffer(again);
      std::istream text(&buffer);
      places = ScanPoPlaces(text);
      again.ThrowIfFailed();
    } catch (...) {
      scanFailure = std::current_exception();
    }
  });
  CallScope scope(report, input.Path());
  const PoFile file(po_file_read(path.c_str(), &kHandler));
  scanner.join();
  if (!file || scope.Call().errors != 0) throw FileError(input.Path(), "cannot read the PO file");
  if (scanFailure) std::rethrow_exception(scanFailure);
  ReportMerged(places, scope.Call().duplicates, input.Path(), report);

  const std::string charset = HeaderCharset(file.get());
  Recoder recoder(charset);
  if (!recoder.Usable()) {
    const auto header = std::find_if(places.begin(), places.end(),
                                     [](const PoPlace& p) { return p.line == p.msgidLine; });
    std::string where = input.Path();
    if (header != places.end()) where.append(":").append(std::to_string(header->line));
    throw FileError(where, "unknown charset \"" + charset + "\" in the header");
  }
  CatalogReader reader(input.Path(), options, report, recoder);
  for (const char* const* domain = po_file_domains(file.get()); *domain != nullptr; ++domain) {
    const std::vector<PoPlace> lines =
        DomainPlaces(places, *domain, scope.Call().duplicates, MessageCount(file.get(), *domain));
    const MessageIterator messages(po_message_iterator(file.get(), *domain));
    std::size_t index = 0;
    while (po_message_t message = po_next_message(messages.get())) {
      reader.Add(message, lines.empty() ? 0 : lines[index].line);
      ++index;
    }
  }
  return reader.Finish();
}

}  // namespace lexiqon
