#include "crash_signature.h"

#include <cstdint>
#include <cstdio>

namespace crashhandler {
namespace {

// Folders and letter case of a module's path differ between installations;
// its file name does not.
std::string ModuleName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

std::uint64_t Fnv1a64(const std::string& text) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

}  // namespace

std::string SignatureText(std::span<const StackFrame> frames) {
  std::string text;
  std::size_t taken = 0;
  for (const StackFrame& frame : frames) {
    if (taken == kSignatureFrames) break;
    if (frame.module.empty()) continue;
    text += ModuleName(frame.module);
    text += '\t';
    text += frame.function.empty() ? "?" : frame.function;
    text += '\n';
    ++taken;
  }
  return text;
}

std::string CrashSignature(std::span<const StackFrame> frames) {
  const std::string text = SignatureText(frames);
  if (text.empty()) return std::string();
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(Fnv1a64(text)));
  return digits;
}

}  // namespace crashhandler
