#pragma once

#include <vector>

#include "dictionary/private/compiled_writer.h"
#include "dictionary/public/dictionary.h"

namespace lexiqon {

// Every entry a lookup can reach, once per key, with the value a lookup
// gives: entry-table entries by bucket and chain, block-store entries by
// global index.
std::vector<tessvik_private::CompiledEntry> ReachableEntries(const tessvik::Dictionary& dictionary);

}  // namespace lexiqon
