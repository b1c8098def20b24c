#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "process_snapshot.h"

namespace crashhandler {

// How many of the crashed thread's innermost frames with a module make its
// signature: enough to tell faults apart, few enough that a different caller
// further out does not split one fault into many.
inline constexpr std::size_t kSignatureFrames = 5;

// The text the signature hashes: one "module\tfunction\n" line per frame
// taken, the module as its lower-case file name without folders and the
// function as named, "?" when it has no name. No addresses or offsets, which
// move with every load and every build.
std::string SignatureText(std::span<const StackFrame> frames);

// 16 hexadecimal digits of FNV-1a 64 over SignatureText, for grouping
// reports of the same fault. `frames` is the crashed thread's stack from the
// fault outward, without the crash path's own frames; frames without a
// module are left out. Empty when no frame has a module.
std::string CrashSignature(std::span<const StackFrame> frames);

}  // namespace crashhandler
