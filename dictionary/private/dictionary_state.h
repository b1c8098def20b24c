#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "private/entry_table.h"
#include "private/fast_array.h"
#include "private/ref_count.h"
#include "tessvik/compiled_file.h"

namespace tessvik_private {

inline constexpr std::uint8_t kBlockMode = 2;

// The fields of a dictionary, shared by the store, the loaders and the tool.
struct DictionaryState {
  DictionaryState() : blocks(new FastArray) {}

  bool InBlockMode() const { return mode >= kBlockMode; }

  EntryTable entries;
  std::uint8_t valid = 1;
  RefCountPtr<FastArray> blocks;
  std::uint8_t mode = 0;
  std::unique_ptr<char[]> header;  // NUL-terminated; kept but never read back
  std::optional<tessvik::CompiledProblem> compiledProblem;  // the first, for tools
};

}  // namespace tessvik_private
