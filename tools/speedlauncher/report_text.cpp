#include "report_text.h"

#include <cerrno>
#include <cstdio>
#include <ostream>
#include <system_error>

#include "platform/utf_common.h"

namespace speedlauncher {

void Report(std::ostream& errors, std::string_view file, int line, Severity severity,
            std::string_view text) {
  errors << "speedlauncher: " << file;
  if (line > 0) errors << ':' << line;
  errors << (severity == Severity::kError ? ": error: " : ": warning: ") << text << '\n';
}

int CheckedOutput(int status, std::ostream& out, std::ostream& errors) {
  // A stream that failed earlier left the system's reason in errno.
  if (out) {
    errno = 0;
    out.flush();
  }
  if (out) return status;
  Report(errors, "standard output", 0, Severity::kError,
         "cannot write: " + std::generic_category().message(errno != 0 ? errno : EIO));
  return status == 0 ? 1 : status;
}

std::string HumanSize(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " B";
  static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  double value = static_cast<double>(bytes) / 1024.0;
  std::size_t unit = 0;
  while (value >= 1023.95 && unit + 1 < std::size(kUnits)) {
    value /= 1024.0;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return text;
}

namespace {

// Calls take(codePoint) for each well-formed character and bad(byte) for
// each byte outside one.
template <typename Take, typename Bad>
void ForEachCharacter(std::string_view text, Take take, Bad bad) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t at = 0;
  while (at < text.size()) {
    const platform::Utf8Decoded decoded = platform::DecodeUtf8(bytes + at, text.size() - at);
    if (decoded.status != platform::Utf8Status::kValid) {
      for (std::size_t i = 0; i < decoded.length; ++i) bad(bytes[at + i]);
    } else {
      take(decoded.codePoint, text.substr(at, decoded.length));
    }
    at += decoded.length;
  }
}

std::string Hex(const char* format, unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  ForEachCharacter(
      text,
      [&json](char32_t c, std::string_view bytes) {
        if (c == '"' || c == '\\') {
          json += '\\';
          json += static_cast<char>(c);
        } else if (c < 0x20) {
          json += Hex("\\u%04x", static_cast<unsigned>(c));
        } else {
          json += bytes;
        }
      },
      [&json](unsigned char byte) { json += Hex("\\udc%02x", byte); });
  return json + '"';
}

std::string Printable(std::string_view text) {
  std::string shown;
  ForEachCharacter(
      text,
      [&shown](char32_t c, std::string_view bytes) {
        if (c == '\\') {
          shown += "\\\\";
        } else if (c == '\n') {
          shown += "\\n";
        } else if (c == '\t') {
          shown += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
          shown += Hex("\\x%02x", static_cast<unsigned>(c));
        } else {
          shown += bytes;
        }
      },
      [&shown](unsigned char byte) { shown += Hex("\\x%02x", byte); });
  return shown;
}

}  // namespace speedlauncher
