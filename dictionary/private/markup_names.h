#pragma once

#include <cstddef>
#include <span>

namespace tessvik_private {

enum class MarkupKind { kCharacter, kEndl, kComment, kCopyYear, kWindows, kOtherPlatform };

struct MarkupName {
  const char16_t* name;
  MarkupKind kind;
  char16_t unit;  // for kCharacter
};

// Every name in matching order; no name is a prefix of a later one.
std::span<const MarkupName> MarkupNames();

}  // namespace tessvik_private
