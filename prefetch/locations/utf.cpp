#include "prefetch/locations/utf.h"

#include <boost/nowide/utf/convert.hpp>

namespace SpeedLauncher {

std::string ToUtf8(std::u16string_view text) {
  return boost::nowide::utf::convert_string<char>(text.data(), text.data() + text.size());
}

std::u16string ToUtf16(std::string_view text) {
  return boost::nowide::utf::convert_string<char16_t>(text.data(), text.data() + text.size());
}

}  // namespace SpeedLauncher
