#include "input_encoding.h"

#include "dictionary_files.h"
#include "errors.h"
#include "platform/code_page.h"

namespace lexiqon {
namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool StartsWith(const std::string& bytes, std::string_view prefix) {
  return bytes.compare(0, prefix.size(), prefix) == 0;
}

std::string Utf8ToDictionary(const std::string& path, std::string_view text) {
  const auto length = static_cast<int>(text.size());
  const int units = platform::MultiByteToWideChar(platform::kCpUtf8, platform::kMbErrInvalidChars,
                                                  text.data(), length, nullptr, 0);
  if (units == 0 && length != 0) throw FileError(path, "not valid UTF-8");
  std::u16string wide(static_cast<std::size_t>(units) + 1, u'\uFEFF');
  platform::MultiByteToWideChar(platform::kCpUtf8, platform::kMbErrInvalidChars, text.data(),
                                length, wide.data() + 1, units);
  return LittleEndianBytes(wide);
}

}  // namespace

std::string ToDictionaryBytes(const std::string& path, const std::string& bytes,
                              const std::string& encoding) {
  if (IsCompiled(bytes) || encoding == "ansi") return bytes;
  const bool utf8Mark = StartsWith(bytes, kUtf8Mark);
  if (encoding == "utf-8" || (encoding.empty() && utf8Mark)) {
    return Utf8ToDictionary(path, std::string_view(bytes).substr(utf8Mark ? 3 : 0));
  }
  if (encoding != "utf-16") return bytes;
  if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) return bytes;
  if (bytes.size() % 2 != 0) throw FileError(path, "odd number of bytes for UTF-16");
  return "\xFF\xFE" + bytes;
}

}  // namespace lexiqon
