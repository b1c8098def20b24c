#include "pe_image.h"

#include <algorithm>
#include <cstring>

namespace crashhandler {
namespace {

// Offsets and values of the PE format.
constexpr std::uint16_t kDosMagic = 0x5A4D;       // "MZ"
constexpr std::uint32_t kPeSignature = 0x4550;    // "PE\0\0"
constexpr std::uint32_t kNewHeaderOffset = 0x3C;  // e_lfanew
constexpr std::uint32_t kOptionalHeader = 24;     // after the signature and the file header
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kExportDirectory = 0;
constexpr std::uint32_t kExceptionDirectory = 3;
constexpr std::uint32_t kExportDirectorySize = 40;
constexpr std::uint32_t kRuntimeFunctionSize = 12;
constexpr std::uint8_t kChainedUnwindInfo = 0x4;  // UNW_FLAG_CHAININFO

// What a loaded image can reasonably hold; more is a damaged header.
constexpr std::uint32_t kMaxNames = 1u << 16;
constexpr std::uint32_t kMaxFunctions = 1u << 20;
constexpr std::size_t kMaxNameLength = 512;
constexpr int kMaxChain = 32;

template <class T>
T Little(const unsigned char* bytes) {
  T value = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) value = static_cast<T>(value << 8 | bytes[i]);
  return value;
}

}  // namespace

PeImage::PeImage(const ProcessMemory& memory, std::uint64_t base, std::uint64_t size)
    : PeImage(memory, base, size, true) {}

bool PeImage::IsImage(const ProcessMemory& memory, std::uint64_t base, std::uint64_t size) {
  return PeImage(memory, base, size, false).Valid();
}

PeImage::PeImage(const ProcessMemory& memory, std::uint64_t base, std::uint64_t size,
                 bool withTables)
    : memory_(memory), base_(base), size_(size) {
  unsigned char dos[64];
  if (!Read(0, dos, sizeof dos) || Little<std::uint16_t>(dos) != kDosMagic) return;
  const std::uint32_t nt = Little<std::uint32_t>(dos + kNewHeaderOffset);
  unsigned char header[kOptionalHeader + 2];
  if (!Read(nt, header, sizeof header) || Little<std::uint32_t>(header) != kPeSignature) return;
  const auto magic = Little<std::uint16_t>(header + kOptionalHeader);
  std::uint32_t directories = 0;
  if (magic == kPe32PlusMagic) {
    directories = nt + kOptionalHeader + 112;
  } else if (magic == kPe32Magic) {
    directories = nt + kOptionalHeader + 96;
  } else {
    return;
  }
  unsigned char countBytes[4];
  if (!Read(directories - 4, countBytes, sizeof countBytes)) return;
  const std::uint32_t count = Little<std::uint32_t>(countBytes);
  valid_ = true;
  if (!withTables) return;
  const auto directory = [&](std::uint32_t index) {
    Directory entry;
    unsigned char bytes[8];
    if (index < count && Read(directories + 8ull * index, bytes, sizeof bytes)) {
      entry.rva = Little<std::uint32_t>(bytes);
      entry.size = Little<std::uint32_t>(bytes + 4);
    }
    return entry;
  };
  ReadExports(directory(kExportDirectory));
  // The x64 table format; 32-bit images have none.
  if (magic == kPe32PlusMagic) ReadFunctionTable(directory(kExceptionDirectory));
}

bool PeImage::Read(std::uint64_t rva, void* buffer, std::size_t size) const {
  if (rva > size_ || size > size_ - rva) return false;
  return memory_.Read(base_ + rva, buffer, size);
}

void PeImage::ReadExports(const Directory& exports) {
  unsigned char header[kExportDirectorySize];
  if (exports.rva == 0 || !Read(exports.rva, header, sizeof header)) return;
  const auto functionCount = Little<std::uint32_t>(header + 20);
  const auto nameCount = std::min(Little<std::uint32_t>(header + 24), kMaxNames);
  const auto functionsRva = Little<std::uint32_t>(header + 28);
  const auto namesRva = Little<std::uint32_t>(header + 32);
  const auto ordinalsRva = Little<std::uint32_t>(header + 36);
  if (functionCount > kMaxNames) return;
  std::vector<unsigned char> functions(4ull * functionCount);
  std::vector<unsigned char> names(4ull * nameCount);
  std::vector<unsigned char> ordinals(2ull * nameCount);
  if (!Read(functionsRva, functions.data(), functions.size()) ||
      !Read(namesRva, names.data(), names.size()) ||
      !Read(ordinalsRva, ordinals.data(), ordinals.size())) {
    return;
  }
  for (std::uint32_t i = 0; i < nameCount; ++i) {
    const auto ordinal = Little<std::uint16_t>(&ordinals[2ull * i]);
    if (ordinal >= functionCount) continue;
    const auto address = Little<std::uint32_t>(&functions[4ull * ordinal]);
    // An address inside the export directory forwards to another module.
    if (address == 0 || (address >= exports.rva && address - exports.rva < exports.size)) continue;
    if (names_.count(address) != 0) continue;  // the first name of several
    std::string name;
    char chunk[64];
    for (std::uint64_t at = Little<std::uint32_t>(&names[4ull * i]); name.size() < kMaxNameLength;
         at += sizeof chunk) {
      const std::size_t want = static_cast<std::size_t>(
          std::min<std::uint64_t>(sizeof chunk, size_ - std::min(at, size_)));
      if (want == 0 || !Read(at, chunk, want)) break;
      const std::size_t length = strnlen(chunk, want);
      name.append(chunk, length);
      if (length < want) break;
    }
    if (!name.empty() && name.size() < kMaxNameLength) names_.emplace(address, std::move(name));
  }
}

void PeImage::ReadFunctionTable(const Directory& table) {
  const std::uint32_t count = std::min(table.size / kRuntimeFunctionSize, kMaxFunctions);
  if (table.rva == 0 || count == 0) return;
  std::vector<unsigned char> bytes(static_cast<std::size_t>(count) * kRuntimeFunctionSize);
  if (!Read(table.rva, bytes.data(), bytes.size())) return;
  functions_.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const unsigned char* entry = &bytes[static_cast<std::size_t>(i) * kRuntimeFunctionSize];
    const RuntimeFunction function{Little<std::uint32_t>(entry), Little<std::uint32_t>(entry + 4),
                                   Little<std::uint32_t>(entry + 8)};
    if (function.begin < function.end && function.end <= size_) functions_.push_back(function);
  }
  // The format keeps the table sorted; a damaged one is sorted here.
  std::sort(functions_.begin(), functions_.end(),
            [](const RuntimeFunction& a, const RuntimeFunction& b) { return a.begin < b.begin; });
}

std::optional<RuntimeFunction> PeImage::FunctionEntry(std::uint32_t rva) const {
  auto after = std::upper_bound(
      functions_.begin(), functions_.end(), rva,
      [](std::uint32_t value, const RuntimeFunction& function) { return value < function.begin; });
  if (after == functions_.begin()) return std::nullopt;
  const RuntimeFunction& entry = *std::prev(after);
  if (rva >= entry.end) return std::nullopt;
  return entry;
}

std::optional<std::uint32_t> PeImage::FunctionStart(std::uint32_t rva) const {
  std::optional<RuntimeFunction> entry = FunctionEntry(rva);
  if (!entry) return std::nullopt;
  // A chained entry's unwind information ends with the entry it continues.
  for (int link = 0; link < kMaxChain; ++link) {
    unsigned char info[4];
    if (!Read(entry->unwindInfo, info, sizeof info) || (info[0] >> 3 & kChainedUnwindInfo) == 0) {
      return entry->begin;
    }
    const std::uint32_t codes = (info[2] + 1u) & ~1u;
    unsigned char parent[kRuntimeFunctionSize];
    if (!Read(entry->unwindInfo + 4ull + 2ull * codes, parent, sizeof parent)) return entry->begin;
    entry = RuntimeFunction{Little<std::uint32_t>(parent), Little<std::uint32_t>(parent + 4),
                            Little<std::uint32_t>(parent + 8)};
  }
  return entry->begin;
}

std::string PeImage::FunctionName(std::uint32_t rva, std::uint32_t& offset) const {
  // Without a table entry (a leaf function) only an exact export is sure.
  const std::uint32_t start = FunctionStart(rva).value_or(rva);
  const auto name = names_.find(start);
  if (name == names_.end()) return std::string();
  offset = rva - start;
  return name->second;
}

}  // namespace crashhandler
