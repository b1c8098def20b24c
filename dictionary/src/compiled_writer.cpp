#include <array>
#include <limits>
#include <stdexcept>

#include "platform/code_page.h"
#include "private/code_page_conversion.h"
#include "private/compiled_loader.h"
#include "private/key_hash.h"
#include "tessvik/compiled_file.h"

namespace tessvik {
namespace {

using tessvik_private::ConvertToNarrow;
using tessvik_private::HashKey;
using tessvik_private::kBucketCount;
using tessvik_private::kCompiledMagic;
using tessvik_private::kCompiledMagicSize;

class ByteWriter {
 public:
  explicit ByteWriter(bool bigEndian) : bigEndian_(bigEndian) {}

  void U8(std::uint8_t value) { out_.push_back(static_cast<char>(value)); }
  void U16(std::uint32_t value) { Number(value, 2); }
  void U32(std::uint64_t value) {
    if (value > std::numeric_limits<std::uint32_t>::max()) {
      throw std::invalid_argument("dictionary too large for the compiled format");
    }
    Number(value, 4);
  }
  void Reserve(std::size_t bytes) { out_.reserve(out_.size() + bytes); }
  void Bytes(const std::string& bytes) { out_ += bytes; }
  void Units(const std::u16string& units) {
    const std::size_t start = out_.size();
    out_.resize(start + 2 * units.size());
    char* out = out_.data() + start;
    for (char16_t unit : units) {
      const auto low = static_cast<char>(unit & 0xFF);
      const auto high = static_cast<char>(unit >> 8);
      *out++ = bigEndian_ ? high : low;
      *out++ = bigEndian_ ? low : high;
    }
  }
  std::string Take() { return std::move(out_); }

 private:
  void Number(std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
      const int shift = 8 * (bigEndian_ ? size - 1 - i : i);
      out_.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
  }

  bool bigEndian_;
  std::string out_;
};

using Buckets = std::array<std::vector<std::size_t>, kBucketCount>;

Buckets GroupByBucket(const std::vector<CompiledEntry>& entries) {
  Buckets buckets;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& key = entries[i].key;
    buckets[HashKey(reinterpret_cast<const std::uint8_t*>(key.data()),
                    static_cast<std::uint32_t>(key.size()), kBucketCount)]
        .push_back(i);
  }
  return buckets;
}

std::string EncodeValue(const std::u16string& value, std::uint8_t encoding) {
  if (encoding != 0) {
    const std::uint32_t codePage = encoding == 1 ? platform::kCpUtf8 : platform::kCpAcp;
    return ConvertToNarrow(codePage, value.data(), static_cast<std::uint32_t>(value.size()));
  }
  ByteWriter units(false);
  units.Units(value);
  return units.Take();
}

void WriteTable10(const std::vector<CompiledEntry>& entries, std::uint8_t encoding,
                  ByteWriter& out) {
  const Buckets buckets = GroupByBucket(entries);
  std::string body;
  std::vector<std::pair<std::uint16_t, std::uint64_t>> records;
  for (std::uint32_t b = 0; b < kBucketCount; ++b) {
    if (buckets[b].empty()) continue;
    records.emplace_back(b, body.size());
    ByteWriter bucket(false);
    for (std::size_t i : buckets[b]) {
      const std::string value = EncodeValue(entries[i].value, encoding);
      bucket.U32(entries[i].key.size());
      bucket.Bytes(entries[i].key);
      bucket.U32(value.size());
      bucket.Bytes(value);
    }
    body += bucket.Take();
  }
  records.emplace_back(0, body.size());
  out.U16(static_cast<std::uint32_t>(records.size()));
  for (const auto& [bucket, position] : records) {
    out.U16(bucket);
    out.U32(position);
  }
  out.Bytes(body);
}

void WriteTable15(const std::vector<CompiledEntry>& entries, std::uint8_t encoding,
                  ByteWriter& out) {
  const Buckets buckets = GroupByBucket(entries);
  ByteWriter ends(false), lengths(false), numbers(false), body(false);
  std::uint32_t bucketCount = 0;
  std::uint64_t position = 0;
  for (std::uint32_t b = 0; b < kBucketCount; ++b) {
    if (buckets[b].empty()) continue;
    ++bucketCount;
    for (std::size_t i : buckets[b]) {
      const std::string value = EncodeValue(entries[i].value, encoding);
      lengths.U32(entries[i].key.size());
      lengths.U32(value.size());
      body.Bytes(entries[i].key);
      body.Bytes(value);
      position += 2;
    }
    ends.U32(position);
    numbers.U16(b);
  }
  out.U32(bucketCount);
  out.Bytes(ends.Take());
  out.Bytes(lengths.Take());
  out.Bytes(numbers.Take());
  out.Bytes(body.Take());
}

void CheckLength(std::size_t bytes) {
  if (bytes > std::numeric_limits<std::uint16_t>::max()) {
    throw std::invalid_argument("key or value longer than 65535 bytes");
  }
}

void WriteBlock(const std::vector<CompiledEntry>& entries, const CompiledFormat& format,
                ByteWriter& out) {
  std::string keyText;
  std::u16string valueText;
  std::size_t keyBytes = 0, valueUnits = 0;
  for (const CompiledEntry& entry : entries) {
    keyBytes += entry.key.size();
    valueUnits += entry.value.size();
  }
  keyText.reserve(keyBytes);
  valueText.reserve(valueUnits);
  ByteWriter keyOffsets(format.bigEndian), keyLengths(format.bigEndian);
  ByteWriter valueOffsets(format.bigEndian), valueLengths(format.bigEndian);
  keyOffsets.Reserve(4 * entries.size());
  keyLengths.Reserve(2 * entries.size());
  valueOffsets.Reserve(4 * entries.size());
  valueLengths.Reserve(2 * entries.size());
  for (const CompiledEntry& entry : entries) {
    // A slot without a key is a removed slot in a block with keys.
    if (entry.key.empty() && format.keysPresent) {
      throw std::invalid_argument("version 2 files cannot hold an empty key");
    }
    CheckLength(entry.key.size());
    CheckLength(entry.value.size() * 2);
    keyOffsets.U32(keyText.size());
    keyLengths.U16(static_cast<std::uint32_t>(entry.key.size()));
    valueOffsets.U32(valueText.size() * 2);
    valueLengths.U16(static_cast<std::uint32_t>(entry.value.size() * 2));
    keyText += entry.key;
    valueText += entry.value;
  }
  const Buckets buckets = GroupByBucket(entries);
  std::uint32_t bucketCount = 0;
  for (const auto& bucket : buckets) bucketCount += bucket.empty() ? 0u : 1u;
  const bool keys = format.keysPresent;
  out.U32(format.firstIndex);
  out.U8(keys ? 'Y' : 'N');
  out.U32(entries.size());
  out.U32(entries.size());
  out.U32(keys ? bucketCount : 0);
  if (keys) out.U32(keyText.size());
  out.U32(valueText.size() * 2);
  // Offsets, lengths, texts and the bucket lists: about 20 bytes per entry.
  out.Reserve(keyText.size() + 2 * valueText.size() + 20 * entries.size());
  if (keys) {
    out.Bytes(keyOffsets.Take());
    out.Bytes(keyLengths.Take());
  }
  out.Bytes(valueOffsets.Take());
  out.Bytes(valueLengths.Take());
  if (keys) out.Bytes(keyText);
  out.Units(valueText);
  if (keys) {
    for (std::uint32_t b = 0; b < kBucketCount; ++b) {
      if (!buckets[b].empty()) out.U16(b);
    }
    for (const auto& bucket : buckets) {
      if (!bucket.empty()) out.U32(bucket.size());
    }
    for (const auto& bucket : buckets) {
      for (std::size_t slot : bucket) out.U32(slot);
    }
  }
  out.U32(0);  // no extra runs
}

}  // namespace

std::string WriteCompiled(const std::vector<CompiledEntry>& entries, const CompiledFormat& format) {
  const bool version2 = format.major == 2 && format.minor <= 127;
  const bool version1 = format.major == 1 && (format.minor == 0 || format.minor == 5);
  if (!version1 && !version2) throw std::invalid_argument("unsupported compiled version");
  if (format.bigEndian && !(version2 && format.minor >= 1)) {
    throw std::invalid_argument("big-endian files need version 2.1 or later");
  }
  ByteWriter out(format.bigEndian);
  out.Bytes(std::string(kCompiledMagic, kCompiledMagicSize));
  out.U8(format.major);
  out.U8(format.minor);
  out.U8(version1 ? format.valueEncoding : 0);
  if (version2 && format.minor >= 1) out.U8(format.bigEndian ? 1 : 0);
  if (format.major == 1) {
    if (format.minor == 0) WriteTable10(entries, format.valueEncoding, out);
    if (format.minor == 5) WriteTable15(entries, format.valueEncoding, out);
    return out.Take();
  }
  out.U32(format.header.size());
  out.Bytes(format.header);
  WriteBlock(entries, format, out);
  return out.Take();
}

}  // namespace tessvik
