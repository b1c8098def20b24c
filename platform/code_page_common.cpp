// Conversions between the 8-bit code pages the layer knows and UTF-16, with
// the results, counts and error codes Windows gives.
#include <cstring>
#include <optional>
#include <string>

#include "platform/code_page.h"
#include "platform/last_error.h"
#include "platform/types.h"
#include "platform/utf_common.h"

namespace platform {
namespace {

constexpr std::uint32_t kErrorInvalidFlags = 1004;

enum class Encoding { kUtf8, kWindows1252 };

std::optional<Encoding> EncodingOf(std::uint32_t codePage) {
  if (codePage == kCpUtf8) return Encoding::kUtf8;
  if (codePage == kCpAcp || codePage == kCp1252) return Encoding::kWindows1252;
  return std::nullopt;
}

// Windows-1252 bytes 0x80-0x9F; the five undefined ones map to C1 controls.
constexpr char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t From1252(std::uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh1252[byte - 0x80];
  return byte;
}

std::optional<char> To1252(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return static_cast<char>(codePoint);
  }
  for (int i = 0; i < 32; ++i) {
    if (kHigh1252[i] == codePoint) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

// Counts output units, or writes them while they fit.
template <typename Unit>
class Output {
 public:
  Output(Unit* destination, int capacity) : destination_(destination), capacity_(capacity) {}

  // For the codec's Append functions.
  using value_type = Unit;
  void push_back(Unit unit) { Put(unit); }

  void Put(Unit unit) {
    if (destination_ != nullptr) {
      if (count_ >= capacity_) {
        overflow_ = true;
        return;
      }
      destination_[count_] = unit;
    }
    ++count_;
  }
  bool Overflow() const { return overflow_; }
  int Count() const { return count_; }

 private:
  Unit* destination_;
  int capacity_;
  int count_ = 0;
  bool overflow_ = false;
};

int Fail(std::uint32_t error) {
  SetLastErrorCode(error);
  return 0;
}

template <typename Unit>
int Finish(const Output<Unit>& out) {
  if (out.Overflow()) return Fail(kErrorInsufficientBuffer);
  return out.Count();
}

int NarrowLength(const char* source, int length) {
  return length == -1 ? static_cast<int>(std::strlen(source)) + 1 : length;
}

int WideLength(const char16_t* source, int length) {
  if (length != -1) return length;
  return static_cast<int>(std::char_traits<char16_t>::length(source)) + 1;
}

int Utf8ToWide(std::uint32_t flags, const std::uint8_t* bytes, int length, Output<char16_t>& out) {
  const auto size = static_cast<std::size_t>(length);
  for (std::size_t i = 0; i < size;) {
    const Utf8Decoded decoded = DecodeUtf8(bytes + i, size - i);
    if (decoded.status != Utf8Status::kValid && (flags & kMbErrInvalidChars) != 0) {
      return Fail(kErrorNoUnicodeTranslation);
    }
    AppendUtf16(out, decoded.codePoint);
    i += decoded.length;
  }
  return Finish(out);
}

int Windows1252ToWide(const std::uint8_t* bytes, int length, Output<char16_t>& out) {
  for (int i = 0; i < length; ++i) out.Put(From1252(bytes[i]));
  return Finish(out);
}

int WideToUtf8(std::uint32_t flags, const char16_t* units, int length, Output<char>& out) {
  const auto size = static_cast<std::size_t>(length);
  for (std::size_t i = 0; i < size;) {
    const Utf16Decoded read = DecodeUtf16(units + i, size - i);
    if (!read.valid && (flags & kWcErrInvalidChars) != 0) {
      return Fail(kErrorNoUnicodeTranslation);
    }
    AppendUtf8(out, read.valid ? read.codePoint : kReplacementCharacter);
    i += read.length;
  }
  return Finish(out);
}

// Without best-fit mapping, and unit by unit as the table-based code pages
// are: a pair outside the BMP becomes two default chars.
int WideTo1252(const char16_t* units, int length, Output<char>& out, const char* defaultChar,
               bool* usedDefaultChar) {
  const char fallback = defaultChar != nullptr ? *defaultChar : '?';
  for (int i = 0; i < length; ++i) {
    const bool surrogate = !DecodeUtf16(units + i, 1).valid;
    const std::optional<char> byte = surrogate ? std::nullopt : To1252(units[i]);
    if (!byte && usedDefaultChar != nullptr) *usedDefaultChar = true;
    out.Put(byte.value_or(fallback));
  }
  return Finish(out);
}

bool BadBuffers(const void* source, int sourceLength, const void* destination,
                int destinationLength) {
  return source == nullptr || sourceLength == 0 || sourceLength < -1 || destinationLength < 0 ||
         (destination == nullptr && destinationLength != 0);
}

}  // namespace

int MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* source,
                        int sourceLength, char16_t* destination, int destinationLength) {
  const std::optional<Encoding> encoding = EncodingOf(codePage);
  if (!encoding || BadBuffers(source, sourceLength, destination, destinationLength)) {
    return Fail(kErrorInvalidParameter);
  }
  if (*encoding == Encoding::kUtf8 && (flags & ~kMbErrInvalidChars) != 0) {
    return Fail(kErrorInvalidFlags);
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(source);
  const int length = NarrowLength(source, sourceLength);
  Output<char16_t> out(destinationLength == 0 ? nullptr : destination, destinationLength);
  if (*encoding == Encoding::kUtf8) return Utf8ToWide(flags, bytes, length, out);
  return Windows1252ToWide(bytes, length, out);
}

int WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const char16_t* source,
                        int sourceLength, char* destination, int destinationLength,
                        const char* defaultChar, bool* usedDefaultChar) {
  const std::optional<Encoding> encoding = EncodingOf(codePage);
  if (!encoding || BadBuffers(source, sourceLength, destination, destinationLength)) {
    return Fail(kErrorInvalidParameter);
  }
  const int length = WideLength(source, sourceLength);
  Output<char> out(destinationLength == 0 ? nullptr : destination, destinationLength);
  if (*encoding == Encoding::kUtf8) {
    if (defaultChar != nullptr || usedDefaultChar != nullptr) return Fail(kErrorInvalidParameter);
    if ((flags & ~kWcErrInvalidChars) != 0) return Fail(kErrorInvalidFlags);
    return WideToUtf8(flags, source, length, out);
  }
  if ((flags & kWcErrInvalidChars) != 0) return Fail(kErrorInvalidFlags);
  if (usedDefaultChar != nullptr) *usedDefaultChar = false;
  return WideTo1252(source, length, out, defaultChar, usedDefaultChar);
}

bool IsDBCSLeadByteEx(std::uint32_t codePage, std::uint8_t) {
  if (!EncodingOf(codePage)) SetLastErrorCode(kErrorInvalidParameter);
  return false;
}

}  // namespace platform
