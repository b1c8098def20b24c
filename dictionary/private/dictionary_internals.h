#pragma once

#include "private/dictionary_state.h"
#include "tessvik/dictionary.h"

namespace tessvik_private {

// The dictionary's fields, for the dictionary's own tests and fuzz targets.
struct DictionaryInternals {
  static DictionaryState& State(const tessvik::Dictionary& dictionary) {
    return *dictionary.state_;
  }
};

}  // namespace tessvik_private
