#include "vantilcore/locale.h"

#include <mutex>

namespace vantilcore {
namespace {

struct LocaleState {
  std::mutex mutex;
  UTF16String language;
};

LocaleState& State() {
  static LocaleState state;
  return state;
}

}  // namespace

// Only the language is kept; resources are found by the localizer itself.
void Locale::Initialize(const UTF16String& language, const filesupport::Dir&) {
  LocaleState& state = State();
  std::lock_guard lock(state.mutex);
  state.language = language;
}

}  // namespace vantilcore
