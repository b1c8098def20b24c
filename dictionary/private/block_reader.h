#pragma once

#include <cstdint>

#include "private/block.h"

namespace tessvik_private {

class BoundedReader;

enum class BlockRead { kOk, kConflict, kCorrupt };

// Reads one compiled block and checks every offset, length, bucket and slot
// number against what the block holds. kConflict: its first index clashes
// with a store of entryCount entries and the rest was not read.
BlockRead ReadFileBlock(BoundedReader& reader, std::uint32_t entryCount, FileBlock& file);

}  // namespace tessvik_private
