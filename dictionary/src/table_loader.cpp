#include "private/table_loader.h"

#include <memory>
#include <vector>

#include "private/block.h"
#include "private/bounded_reader.h"
#include "private/code_page_conversion.h"
#include "private/dictionary_entry.h"

namespace tessvik_private {
namespace {

// Prepends one bucket's entries of a file to its chain, in file order,
// keeping the older chain linked behind them at every step.
class BucketChain {
 public:
  BucketChain(EntryTable& table, std::uint32_t bucket) : table_(table), bucket_(bucket) {}

  void Append(DictionaryEntry* item) {
    table_.InsertAfter(bucket_, last_, item);
    last_ = item;
  }

 private:
  EntryTable& table_;
  std::uint32_t bucket_;
  HashItem* last_ = nullptr;
};

ByteRunValue* MakeValue(const std::uint8_t* bytes, std::uint32_t length, std::int8_t encoding) {
  if (encoding == 0) return new ByteRunValue(bytes, length);
  const tessvik::TextEncoding selector = encoding;
  WideBuffer wide(length == 0 ? 1 : length);
  ConvertToWide(CodePageFor(&selector), reinterpret_cast<const char*>(bytes), length, wide);
  return MakeUtf16Value(wide.Data(), wide.Length());
}

void StoreEntry(const OwnedBytes& key, std::uint32_t keyLength, const OwnedBytes& value,
                std::uint32_t valueLength, std::int8_t encoding, BucketChain& chain) {
  // A conversion that throws leaves nothing half-linked.
  auto entry = std::make_unique<DictionaryEntry>(ByteRunKey(key.get(), keyLength, false));
  entry->SetValue(MakeValue(value.get(), valueLength, encoding));
  chain.Append(entry.release());
}

// UTF-16 values of an odd byte count are refused.
bool ValueLengthFits(std::uint32_t valueLength, std::int8_t encoding) {
  return encoding != 0 || valueLength % 2 == 0;
}

bool ReadEntry(BoundedReader& in, std::uint32_t keyLength, std::uint32_t valueLength,
               std::int8_t encoding, BucketChain& chain) {
  OwnedBytes key;
  OwnedBytes value;
  if (!ValueLengthFits(valueLength, encoding) || !in.ReadBytes(key, keyLength) ||
      !in.ReadBytes(value, valueLength)) {
    return false;
  }
  StoreEntry(key, keyLength, value, valueLength, encoding, chain);
  return true;
}

// A version 1.0 entry: its key length, key, value length and value.
bool ReadEntry10(BoundedReader& in, std::int8_t encoding, BucketChain& chain,
                 std::uint64_t& position) {
  std::uint32_t keyLength = 0;
  std::uint32_t valueLength = 0;
  OwnedBytes key;
  OwnedBytes value;
  if (!in.ReadU32(keyLength) || !in.ReadBytes(key, keyLength) || !in.ReadU32(valueLength) ||
      !ValueLengthFits(valueLength, encoding) || !in.ReadBytes(value, valueLength)) {
    return false;
  }
  StoreEntry(key, keyLength, value, valueLength, encoding, chain);
  position += 8ull + keyLength + valueLength;
  return true;
}

struct Record {
  std::uint16_t bucket;
  std::uint32_t position;
};

bool ReadDirectory10(BoundedReader& in, std::vector<Record>& records) {
  std::uint16_t count = 0;
  if (!in.ReadU16(count) || count * 6ull > in.Remaining()) return false;
  records.resize(count);
  for (Record& record : records) {
    if (!in.ReadU16(record.bucket) || !in.ReadU32(record.position)) return false;
  }
  return true;
}

}  // namespace

bool LoadTable10(BoundedReader& in, std::int8_t encoding, EntryTable& table) {
  std::vector<Record> records;
  if (!ReadDirectory10(in, records)) return false;
  if (records.size() < 2) return true;
  std::uint64_t position = records[0].position;
  for (std::size_t r = 0; r + 1 < records.size(); ++r) {
    if (records[r].bucket >= kBucketCount) return false;
    BucketChain chain(table, records[r].bucket);
    while (position < records[r + 1].position) {
      if (!ReadEntry10(in, encoding, chain, position)) return false;
    }
  }
  return true;
}

bool LoadTable15(BoundedReader& in, std::int8_t encoding, EntryTable& table) {
  std::uint32_t bucketCount = 0;
  std::vector<std::uint32_t> ends;
  std::vector<std::uint32_t> lengths;
  std::vector<std::uint16_t> buckets;
  if (!in.ReadU32(bucketCount) || !in.ReadArray(ends, bucketCount)) return false;
  const std::uint32_t total = bucketCount == 0 ? 0 : ends.back();
  if (!in.ReadArray(lengths, total) || !in.ReadArray(buckets, bucketCount)) return false;
  std::uint32_t start = 0;
  for (std::uint32_t j = 0; j < bucketCount; ++j) {
    // Each entry takes two places of the length list.
    if (ends[j] < start || (ends[j] - start) % 2 != 0 || ends[j] > total) return false;
    if (buckets[j] >= kBucketCount) return false;
    BucketChain chain(table, buckets[j]);
    for (std::uint32_t p = start; p < ends[j]; p += 2) {
      if (!ReadEntry(in, lengths[p], lengths[p + 1], encoding, chain)) return false;
    }
    start = ends[j];
  }
  return true;
}

}  // namespace tessvik_private
