// Compiled with the dictionary's exported include folders alone: every
// public header stands on its own.
#include "tessvik/compiled_file.h"
#include "tessvik/dictionary.h"
#include "tessvik/dictionary_string.h"
#include "tessvik/hl_err_exception.h"
#include "tessvik/text_encoding.h"
#include "tessvik/text_lines.h"
