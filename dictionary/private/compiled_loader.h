#pragma once

#include <iosfwd>

#include "private/dictionary_state.h"

namespace tessvik_private {

inline constexpr char kCompiledMagic[] = "Lexiqon Binary Format";
inline constexpr std::size_t kCompiledMagicSize = sizeof(kCompiledMagic) - 1;

// Loads a compiled dictionary from the stream, which is at offset 0.
void LoadCompiled(std::istream& stream, DictionaryState& state);

}  // namespace tessvik_private
