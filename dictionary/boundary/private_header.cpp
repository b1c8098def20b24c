// Must not compile with the dictionary's exported include folders: its
// internals are not part of its face.
#include "private/dictionary_state.h"
