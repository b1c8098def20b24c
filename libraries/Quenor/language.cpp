#include "Quenor/Quenor.h"
#include "platform/region.h"

namespace Quenor {

UTF16String GetLanguageString() {
  const std::u16string tag = platform::UserLanguageTag();
  return UTF16String(tag.begin(), tag.end());
}

}  // namespace Quenor
