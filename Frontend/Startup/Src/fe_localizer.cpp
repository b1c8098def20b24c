#include "Frontend/Startup/Src/fe_localizer.h"

#include <cstring>

#include "vantilcore/string.h"

namespace FE {

vantilcore::threads::RecursiveMutex LocalizerLock;

namespace {

UTF8String AsUtf8(const std::string& text) {
  return UTF8String(text.begin(), text.end());
}

class LocalizerLockGuard {
 public:
  LocalizerLockGuard() { LocalizerLock.Lock(nullptr); }
  ~LocalizerLockGuard() { LocalizerLock.Unlock(); }
  LocalizerLockGuard(const LocalizerLockGuard&) = delete;
  LocalizerLockGuard& operator=(const LocalizerLockGuard&) = delete;
};

}  // namespace

Localizer::Localizer() = default;
Localizer::~Localizer() = default;

UTF16String& Localizer::GetLocalizedString(UTF16String& result, const char* text) {
  std::string s(text);
  if (s.find('=') == std::string::npos) {
    result = vantilcore::string::AsciiToUTF16(s.data(), s.size());
    return result;
  }
  if (s.size() > 3 && s.starts_with("($$$")) {
    s.erase(0, 1);
    if (s.back() == ')') s.pop_back();
    LookupLocked(result, s);
    return result;
  }
  if (s.size() > 3 && s.starts_with("$$$")) {
    LookupLocked(result, s);
    return result;
  }
  result = vantilcore::string::UTF8to16(AsUtf8(s), nullptr, nullptr);
  return result;
}

bool Localizer::LoadDictionary(const UTF16String&) { return false; }

void Localizer::LookupLocked(UTF16String& result, const std::string& key) {
  LocalizerLockGuard lock;
  // No dictionary yet: every key shows its default text.
  result = vantilcore::string::UTF8to16(AsUtf8(key.substr(key.find('=') + 1)), nullptr, nullptr);
}

}  // namespace FE
