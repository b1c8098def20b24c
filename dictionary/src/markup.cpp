#include <optional>

#include "private/escapes.h"
#include "private/markup_names.h"

namespace tessvik_private {
namespace {

struct Markup {
  MarkupKind kind;
  char16_t unit;
  std::size_t end;  // position after the closing brace
};

class MarkupMatcher {
 public:
  MarkupMatcher(const char16_t* text, std::size_t length) : text_(text), length_(length) {}

  // The markup that starts at the "#" at position hash, if any.
  std::optional<Markup> At(std::size_t hash) const {
    if (length_ - hash < 4 || text_[hash + 1] != u'{') return std::nullopt;
    const std::size_t inner = hash + 2;
    for (const MarkupName& name : MarkupNames()) {
      const std::size_t size = std::char_traits<char16_t>::length(name.name);
      if (!StartsWith(inner, name.name, size)) continue;
      if (!IsBrace(inner + size)) return std::nullopt;
      return Markup{name.kind, name.unit, inner + size + 1};
    }
    return Code(inner);
  }

 private:
  std::optional<Markup> Code(std::size_t inner) const {
    std::size_t digits = inner;
    if (StartsWith(inner, u"U+", 2)) {
      digits += 2;
    } else if (StartsWith(inner, u"u", 1)) {
      digits += 1;
    }
    char16_t unit = 0;
    std::size_t read = 0;
    for (; read < 4 && digits + read < length_; ++read) {
      const int value = HexValue(text_[digits + read]);
      if (value < 0) break;
      unit = static_cast<char16_t>(unit * 16 + value);
    }
    if (read == 0 || !IsBrace(digits + read)) return std::nullopt;
    return Markup{MarkupKind::kCharacter, unit, digits + read + 1};
  }

  bool StartsWith(std::size_t at, const char16_t* name, std::size_t size) const {
    if (length_ - at < size) return false;
    return std::char_traits<char16_t>::compare(text_ + at, name, size) == 0;
  }

  bool IsBrace(std::size_t at) const { return at < length_ && text_[at] == u'}'; }

  static int HexValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') return unit - u'0';
    if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
    if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
    return -1;
  }

  const char16_t* text_;
  std::size_t length_;
};

}  // namespace

std::u16string ExpandMarkup(const char16_t* text, std::size_t length) {
  const MarkupMatcher matcher(text, length);
  std::u16string out;
  out.reserve(length);
  bool skipping = false;
  bool seenWindows = false;
  std::size_t copied = 0;  // start of the text not yet copied
  const std::u16string_view all(text, length);
  for (std::size_t hash = all.find(u'#'); hash != std::u16string_view::npos;
       hash = all.find(u'#', copied)) {
    const std::optional<Markup> markup = matcher.At(hash);
    const std::size_t literalEnd = markup ? hash : hash + 1;
    if (!skipping) out.append(text + copied, literalEnd - copied);
    copied = markup ? markup->end : hash + 1;
    if (!markup) continue;
    switch (markup->kind) {
      case MarkupKind::kCharacter:
        if (!skipping) out.push_back(markup->unit);
        break;
      case MarkupKind::kEndl:
        if (!skipping) out.append(u"\r\n");
        break;
      case MarkupKind::kCopyYear:
        if (!skipping) out.append(u"2020");
        break;
      case MarkupKind::kComment:
        if (!skipping) return out;
        break;
      case MarkupKind::kWindows:
        out.clear();
        seenWindows = true;
        skipping = false;
        break;
      case MarkupKind::kOtherPlatform:
        if (seenWindows) return out;
        skipping = true;
        break;
    }
  }
  if (!skipping) out.append(text + copied, length - copied);
  return out;
}

}  // namespace tessvik_private
