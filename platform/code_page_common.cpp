// Conversions between the 8-bit code pages the layer knows and UTF-16, with
// the results, counts and error codes Windows gives.
#include <cstring>
#include <optional>
#include <string>

#include "platform/code_page.h"
#include "platform/last_error.h"
#include "platform/types.h"

namespace platform {
namespace {

constexpr std::uint32_t kErrorInvalidFlags = 1004;
constexpr char16_t kReplacement = 0xFFFD;

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

void PutCodePoint(Output<char16_t>& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.Put(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out.Put(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  out.Put(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

struct Decoded {
  char32_t codePoint;  // kReplacement when the sequence is invalid
  int length;          // bytes taken: the whole sequence or its maximal invalid subpart
  bool valid;
};

// The range the second byte of a sequence must be in, by lead byte; a zero
// length means the lead byte itself is invalid.
struct LeadInfo {
  int length;
  std::uint8_t secondLow;
  std::uint8_t secondHigh;
};

LeadInfo InfoOf(std::uint8_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

Decoded DecodeUtf8(const std::uint8_t* bytes, int available) {
  const std::uint8_t lead = bytes[0];
  if (lead < 0x80) return {lead, 1, true};
  const LeadInfo info = InfoOf(lead);
  if (info.length == 0) return {kReplacement, 1, false};
  char32_t codePoint = lead & (0x7F >> info.length);
  for (int i = 1; i < info.length; ++i) {
    const std::uint8_t low = i == 1 ? info.secondLow : 0x80;
    const std::uint8_t high = i == 1 ? info.secondHigh : 0xBF;
    if (i >= available || bytes[i] < low || bytes[i] > high) return {kReplacement, i, false};
    codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
  }
  return {codePoint, info.length, true};
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

struct CodePointRead {
  char32_t codePoint;
  int length;
  bool valid;  // false for a lone surrogate
};

CodePointRead ReadUtf16(const char16_t* units, int available) {
  const char16_t unit = units[0];
  if (IsHighSurrogate(unit) && available > 1 && IsLowSurrogate(units[1])) {
    const char32_t codePoint = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (units[1] - 0xDC00);
    return {codePoint, 2, true};
  }
  if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) return {unit, 1, false};
  return {unit, 1, true};
}

void PutUtf8(Output<char>& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out.Put(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.Put(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.Put(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.Put(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.Put(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.Put(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.Put(static_cast<char>(0xF0 | (codePoint >> 18)));
    out.Put(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    out.Put(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.Put(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

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
  for (int i = 0; i < length;) {
    const Decoded decoded = DecodeUtf8(bytes + i, length - i);
    if (!decoded.valid && (flags & kMbErrInvalidChars) != 0) {
      return Fail(kErrorNoUnicodeTranslation);
    }
    PutCodePoint(out, decoded.codePoint);
    i += decoded.length;
  }
  return Finish(out);
}

int Windows1252ToWide(const std::uint8_t* bytes, int length, Output<char16_t>& out) {
  for (int i = 0; i < length; ++i) out.Put(From1252(bytes[i]));
  return Finish(out);
}

int WideToUtf8(std::uint32_t flags, const char16_t* units, int length, Output<char>& out) {
  for (int i = 0; i < length;) {
    const CodePointRead read = ReadUtf16(units + i, length - i);
    if (!read.valid && (flags & kWcErrInvalidChars) != 0) {
      return Fail(kErrorNoUnicodeTranslation);
    }
    PutUtf8(out, read.valid ? read.codePoint : kReplacement);
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
    const bool surrogate = IsHighSurrogate(units[i]) || IsLowSurrogate(units[i]);
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
