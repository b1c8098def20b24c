#include "Frontend/Startup/Src/fe_localizer.h"

#include <Quenor/Quenor.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "vantilcore/string.h"

namespace FE {

vantilcore::threads::RecursiveMutex LocalizerLock;

namespace {

constexpr std::uint32_t kShortTextUnits = 256;

UTF16String Ascii(const char* text) {
  return vantilcore::string::AsciiToUTF16(text, std::strlen(text));
}

UTF16String Widened(std::string_view text) {
  return vantilcore::string::AsciiToUTF16(text.data(), text.size());
}

// Unlocks on every way out, exceptions included.
class LocalizerLockGuard {
 public:
  LocalizerLockGuard() { LocalizerLock.Lock(nullptr); }
  ~LocalizerLockGuard() { LocalizerLock.Unlock(); }
  LocalizerLockGuard(const LocalizerLockGuard&) = delete;
  LocalizerLockGuard& operator=(const LocalizerLockGuard&) = delete;
};

UTF16String WithSlash(const UTF16String& path) { return Quenor::PathUtils::AddTrailingSlash(path); }

bool Exists(const UTF16String& path) { return Quenor::PathUtils::ExistsOnDisk(path, false); }

std::filesystem::path NativePath(const UTF16String& path) {
  return std::filesystem::path(std::u16string(path.begin(), path.end()));
}

}  // namespace

Localizer::Localizer() : dictionary_(std::make_unique<tessvik::Dictionary>()) {}

Localizer::~Localizer() = default;

UTF16String& Localizer::GetLocalizedString(UTF16String& result, const char* text) {
  // Read in place: only a key whose closing parenthesis must be cut is copied.
  const std::string_view s(text);
  if (s.find('=') == std::string_view::npos) {
    result = Widened(s);
    return result;
  }
  if (s.size() > 3 && s.starts_with("($$$")) {
    const std::string_view key = s.substr(1);
    if (key.back() != ')') {
      LookupLocked(result, key);
      return result;
    }
    const std::string cut(key.substr(0, key.size() - 1));
    LookupLocked(result, cut);
    return result;
  }
  if (s.size() > 3 && s.starts_with("$$$")) {
    LookupLocked(result, s);
    return result;
  }
  const UTF8String utf8(s.begin(), s.end());
  result = vantilcore::string::UTF8to16(utf8, nullptr, nullptr);
  return result;
}

bool Localizer::LoadDictionary(const UTF16String& directory) {
  UTF16String path;
  if (!FindDictionaryFile(directory, path)) return false;
  std::ifstream file(NativePath(path), std::ios::in | std::ios::binary);
  if (!file.is_open() || !file.good()) return false;
  dictionary_->Load(file);
  file.close();
  return true;
}

bool Localizer::FindDictionaryFile(const UTF16String& directory, UTF16String& path) const {
  const UTF16String fileName = Ascii("lexdictionary.dat");
  const UTF16String inLanguageFolder =
      WithSlash(WithSlash(WithSlash(directory) + Ascii("Dictionaries")) +
                Quenor::GetLanguageString()) +
      fileName;
  if (Exists(inLanguageFolder)) {
    path = inLanguageFolder;
    return true;
  }
  const UTF16String direct = WithSlash(directory) + fileName;
  if (Exists(direct)) {
    path = direct;
    return true;
  }
  return false;
}

void Localizer::LookupLocked(UTF16String& result, std::string_view key) {
  LocalizerLockGuard lock;
  if (!dictionary_->IsValid()) {
    result = Widened(key);
    return;
  }
  const tessvik::DictionaryString text = dictionary_->Lookup(key.data(), nullptr);
  const std::uint32_t length = text.Length();
  // Most texts fit on the stack; longer ones get a heap buffer.
  char16_t shortBuffer[kShortTextUnits];
  std::vector<char16_t> longBuffer;
  char16_t* buffer = shortBuffer;
  if (length > kShortTextUnits) {
    longBuffer.resize(length);
    buffer = longBuffer.data();
  }
  text.CopyTo(buffer, length, true);
  result.assign(buffer, length - 1);
}

}  // namespace FE
