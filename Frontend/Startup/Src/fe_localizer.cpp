#include "fe_localizer.h"

#include <Quenor/Quenor.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/file_open.h"
#include "vantilcore/string.h"

namespace FE {

vantilcore::threads::RecursiveMutex LocalizerLock;

namespace {

constexpr std::uint32_t kShortTextUnits = 256;

UTF16String Ascii(const char* text) {
  return vantilcore::string::AsciiToUTF16(text, std::strlen(text));
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

}  // namespace

Localizer::Localizer() : dictionary_(std::make_unique<tessvik::Dictionary>()) {}

Localizer::~Localizer() = default;

UTF16String& Localizer::GetLocalizedString(UTF16String& result, const char* text) {
  // Read in place, and measured only where the length matters: a key found
  // in the dictionary never reads past its "=". Only a key whose closing
  // parenthesis must be cut is copied.
  if (std::strchr(text, '=') == nullptr) {
    result = Ascii(text);
    return result;
  }
  // With an "=" inside, either prefix makes the text longer than 3 bytes.
  if (std::strncmp(text, "($$$", 4) == 0) {
    const char* key = text + 1;
    const std::size_t length = std::strlen(key);
    if (key[length - 1] != ')') {
      LookupLocked(result, key);
      return result;
    }
    const std::string cut(key, length - 1);
    LookupLocked(result, cut.c_str());
    return result;
  }
  if (std::strncmp(text, "$$$", 3) == 0) {
    LookupLocked(result, text);
    return result;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const UTF8String utf8(bytes, bytes + std::strlen(text));
  result = vantilcore::string::UTF8to16(utf8, nullptr, nullptr);
  return result;
}

bool Localizer::LoadDictionary(const UTF16String& directory) {
  UTF16String path;
  if (!FindDictionaryFile(directory, path)) return false;
  std::ifstream file;
  platform::OpenFileStream(file, std::u16string(path.begin(), path.end()),
                           std::ios::in | std::ios::binary);
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

void Localizer::LookupLocked(UTF16String& result, const char* key) {
  // Most texts fit on the stack; longer ones get a heap buffer.
  char16_t shortBuffer[kShortTextUnits];
  std::vector<char16_t> longBuffer;
  char16_t* buffer = shortBuffer;
  std::uint32_t length = 0;
  {
    LocalizerLockGuard lock;
    if (!dictionary_->IsValid()) {
      result = Ascii(key);
      return;
    }
    const tessvik::DictionaryString text = dictionary_->Lookup(key, nullptr);
    length = text.Length();
    if (length > kShortTextUnits) {
      longBuffer.resize(length);
      buffer = longBuffer.data();
    }
    text.CopyTo(buffer, length, true);
  }
  // The result is the caller's own: filling it needs no lock, and keeps
  // the allocator out of the locked stretch.
  result.assign(buffer, length - 1);
}

}  // namespace FE
