// Any bytes as a text source, read by check's analysis in each encoding,
// and as a PO file by the scan that finds its messages' lines. The
// analysis must agree with a plain load of the same bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "analysis.h"
#include "dictionary_files.h"
#include "errors.h"
#include "po_lines.h"

namespace {

// One file for every input, rewritten each time.
const std::string& Scratch() {
  static const std::string path = [] {
    std::string name = "/tmp/fuzz-lexiqon-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) std::abort();
    ::close(fd);
    return name;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  {
    std::istringstream text(bytes);
    const auto places = lexiqon::ScanPoPlaces(text);
    for (std::size_t i = 1; i < places.size(); ++i) {
      if (places[i].line <= places[i - 1].line) std::abort();
    }
  }
  std::FILE* file = std::fopen(Scratch().c_str(), "wb");
  if (file == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  // The first byte chooses how the source is read.
  static const char* const kEncodings[] = {"", "utf-8", "utf-16", "ansi"};
  lexiqon::AnalysisOptions options;
  options.inputFormat = "text";
  options.inputEncoding = kEncodings[data[0] % 4];
  std::ostream nowhere(nullptr);
  lexiqon::Reporter report(nowhere);
  try {
    const lexiqon::AnalysedFile analysed = lexiqon::Analyse(Scratch(), options, report);
    if (analysed.lines.size() != analysed.entries.size()) std::abort();
    // Read as the launcher reads the bytes, a source in its own encoding
    // gives the same entries.
    if (options.inputEncoding.empty() && analysed.kind == lexiqon::InputKind::kText &&
        bytes.compare(0, 3, "\xEF\xBB\xBF") != 0) {
      tessvik::Dictionary plain;
      lexiqon::LoadBytes(plain, bytes);
      if (plain.Entries() != analysed.entries || plain.IsValid() != analysed.valid) std::abort();
    }
  } catch (const lexiqon::FileError&) {
    // Not valid UTF-8, or an odd number of bytes for UTF-16: refused by name.
  }
  return 0;
}
