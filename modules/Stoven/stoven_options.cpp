#include "stoven_options.h"

#include <charconv>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "vantilcore/string.h"

namespace Stoven {

namespace {

bool ParseInt32(const std::u16string& text, std::int32_t& value) {
  std::string ascii;
  for (char16_t unit : text) {
    if (unit > 0x7F) return false;
    ascii.push_back(static_cast<char>(unit));
  }
  const char* end = ascii.data() + ascii.size();
  const auto [rest, error] = std::from_chars(ascii.data(), end, value);
  return error == std::errc() && rest == end && !ascii.empty();
}

std::string ToUtf8(const std::u16string& text) {
  const UTF8String utf8 = vantilcore::string::UTF16to8(UTF16String(text.begin(), text.end()));
  return std::string(utf8.begin(), utf8.end());
}

}  // namespace

Options ParseOptions(const UTF16String& commandLine) {
  Options options;
  const std::vector<std::u16string> arguments =
      platform::SplitCommandLine(std::u16string_view(commandLine.data(), commandLine.size()));
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const bool hasValue = i + 1 < arguments.size();
    if (arguments[i] == u"--exit" && hasValue) {
      std::int32_t value = 0;
      if (ParseInt32(arguments[++i], value)) options.exitCode = value;
    } else if (arguments[i] == u"--localize" && hasValue) {
      options.localize.push_back(ToUtf8(arguments[++i]));
    } else if (arguments[i] == u"--crash") {
      options.crash = CrashKind::kInvalidWrite;
    } else if (arguments[i] == u"--crash-thread") {
      options.crash = CrashKind::kOtherThread;
    } else if (arguments[i] == u"--abort") {
      options.crash = CrashKind::kAbort;
    } else if (arguments[i] == u"--stack-overflow") {
      options.crash = CrashKind::kStackOverflow;
    }
  }
  return options;
}

}  // namespace Stoven
