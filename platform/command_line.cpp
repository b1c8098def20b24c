#include "platform/command_line.h"

namespace platform {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool NeedsQuotes(const std::u16string& argument) {
  if (argument.empty()) return true;
  return argument.find_first_of(u" \t\n\v\"") != std::u16string::npos;
}

void AppendQuoted(const std::u16string& argument, std::u16string& out) {
  out += u'"';
  std::size_t backslashes = 0;
  for (char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    if (c == u'"') {
      out.append(backslashes * 2 + 1, u'\\');
    } else {
      out.append(backslashes, u'\\');
    }
    out += c;
    backslashes = 0;
  }
  out.append(backslashes * 2, u'\\');
  out += u'"';
}

}  // namespace

std::u16string QuoteCommandLine(const std::vector<std::u16string>& arguments) {
  std::u16string out;
  for (const std::u16string& argument : arguments) {
    if (!out.empty()) out += u' ';
    if (NeedsQuotes(argument)) {
      AppendQuoted(argument, out);
    } else {
      out += argument;
    }
  }
  return out;
}

namespace {

// One argument's state: `quotes` counts the quotes seen since the last
// literal one, so that a third consecutive quote is literal, as Windows does.
class ArgumentSplitter {
 public:
  explicit ArgumentSplitter(std::u16string_view line) : line_(line) {}

  std::vector<std::u16string> Split() {
    std::vector<std::u16string> arguments;
    while (SkipBlanks()) arguments.push_back(ReadArgument());
    return arguments;
  }

 private:
  bool SkipBlanks() {
    while (position_ < line_.size() && IsBlank(line_[position_])) ++position_;
    return position_ < line_.size();
  }

  std::u16string ReadArgument() {
    std::u16string argument;
    int quotes = 0;
    std::size_t backslashes = 0;
    for (; position_ < line_.size(); ++position_) {
      const char16_t c = line_[position_];
      if (IsBlank(c) && quotes == 0) break;
      if (c == u'\\') {
        ++backslashes;
        argument += c;
        continue;
      }
      if (c == u'"') {
        ReadQuotes(argument, backslashes, quotes);
      } else {
        argument += c;
      }
      backslashes = 0;
    }
    return argument;
  }

  // At a quote: 2n backslashes give n and the quote toggles quoting; 2n+1
  // give n and a literal quote. Then a run of further quotes.
  void ReadQuotes(std::u16string& argument, std::size_t backslashes, int& quotes) {
    argument.resize(argument.size() - backslashes / 2);
    if (backslashes % 2 == 1) {
      argument.back() = u'"';
      return;
    }
    ++quotes;
    while (position_ + 1 < line_.size() && line_[position_ + 1] == u'"') {
      ++position_;
      if (++quotes == 3) {
        argument += u'"';
        quotes = 0;
      }
    }
    if (quotes == 2) quotes = 0;
  }

  std::u16string_view line_;
  std::size_t position_ = 0;
};

}  // namespace

std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine) {
  return ArgumentSplitter(commandLine).Split();
}

}  // namespace platform
