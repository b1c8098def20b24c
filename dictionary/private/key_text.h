#pragma once

#include <string>
#include <string_view>

namespace tessvik_private {

// A lookup text split into its key and default text.
struct KeyText {
  bool hasKey = false;
  std::string_view key;
  const char* defaultStart = nullptr;  // after the "="; null without one

  // Measured only when needed: a found key never reads its default text.
  std::string_view DefaultText() const {
    return defaultStart == nullptr ? std::string_view() : std::string_view(defaultStart);
  }
};

KeyText ParseKeyText(const char* text);

// Where a line's entry text lies: between its first two quotation marks
// that no backslash precedes, or the whole line.
struct EntrySpan {
  std::size_t open = std::u16string_view::npos;   // the opening quotation mark
  std::size_t close = std::u16string_view::npos;  // the closing one
  std::u16string_view text;
};

EntrySpan FindEntryText(std::u16string_view line);

// A text dictionary line split into key bytes and value text.
struct LineEntry {
  bool accepted = false;  // false: a short run of "$" that clears the valid flag
  std::string key;
  std::u16string_view value;
};

LineEntry ParseLine(std::u16string_view line);

}  // namespace tessvik_private
