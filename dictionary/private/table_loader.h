#pragma once

#include <cstdint>

#include "private/entry_table.h"

namespace tessvik_private {

class BoundedReader;

// Version 1 tables; false on a failed read or an inconsistent directory.
// Entries read so far stay in the table.
bool LoadTable10(BoundedReader& reader, std::int8_t valueEncoding, EntryTable& table);
bool LoadTable15(BoundedReader& reader, std::int8_t valueEncoding, EntryTable& table);

}  // namespace tessvik_private
