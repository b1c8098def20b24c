#include "private/code_page_conversion.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/code_page.h"
#include "platform/types.h"
#include "tessvik/hl_err_exception.h"

namespace tessvik_private {
namespace {

[[noreturn]] void ThrowLastError() {
  const bool tooSmall = platform::GetLastError() == platform::kErrorInsufficientBuffer;
  throw tessvik::HLErrException(tooSmall ? tessvik::kErrBufferTooSmall : tessvik::kErrConversion);
}

int CheckedLength(std::uint32_t length) {
  if (length > static_cast<std::uint32_t>(INT_MAX))
    throw tessvik::HLErrException(tessvik::kErrConversion);
  return static_cast<int>(length);
}

}  // namespace

std::uint32_t CodePageFor(const tessvik::TextEncoding* encoding) {
  const bool utf8 = encoding != nullptr && *encoding == tessvik::kTextEncodingUtf8;
  return utf8 ? platform::kCpUtf8 : platform::kCpAcp;
}

WideBuffer::WideBuffer(std::uint32_t capacity)
    : data_(std::make_unique<char16_t[]>(std::max<std::uint32_t>(capacity, 1))),
      capacity_(std::max<std::uint32_t>(capacity, 1)) {}

void WideBuffer::Reserve(std::uint32_t needed) {
  if (needed <= capacity_) return;
  std::uint64_t capacity = capacity_;
  while (capacity < needed) capacity = std::max<std::uint64_t>(capacity * 3 / 2, capacity + 1);
  auto grown = std::make_unique<char16_t[]>(capacity);
  std::copy(data_.get(), data_.get() + length_, grown.get());
  data_ = std::move(grown);
  capacity_ = static_cast<std::uint32_t>(capacity);
}

void WideBuffer::Append(char16_t unit) {
  Reserve(length_ + 1);
  data_[length_++] = unit;
}

std::uint32_t WideCount(std::uint32_t codePage, const char* bytes, std::uint32_t length) {
  if (length == 0) return 0;
  const int count =
      platform::MultiByteToWideChar(codePage, 0, bytes, CheckedLength(length), nullptr, 0);
  return count < 0 ? 0 : static_cast<std::uint32_t>(count);
}

void ConvertToWide(std::uint32_t codePage, const char* bytes, std::uint32_t length,
                   WideBuffer& buffer) {
  buffer.SetLength(0);
  if (length == 0) return;
  const std::uint32_t count = WideCount(codePage, bytes, length);
  buffer.Reserve(count);
  const int written = platform::MultiByteToWideChar(codePage, 0, bytes, CheckedLength(length),
                                                    buffer.Data(), CheckedLength(count));
  if (written == 0) ThrowLastError();
  buffer.SetLength(static_cast<std::uint32_t>(written));
}

std::string ConvertToNarrow(std::uint32_t codePage, const char16_t* units, std::uint32_t length) {
  if (length == 0) return {};
  const int size = CheckedLength(length);
  const int count =
      platform::WideCharToMultiByte(codePage, 0, units, size, nullptr, 0, nullptr, nullptr) + 1;
  std::string out(static_cast<std::size_t>(count), '\0');
  const int written = platform::WideCharToMultiByte(codePage, 0, units, size, out.data(), count - 1,
                                                    nullptr, nullptr);
  if (written == 0) ThrowLastError();
  out.resize(static_cast<std::size_t>(written));
  return out;
}

}  // namespace tessvik_private
