#include <mutex>

#include "vantilcore/config.h"

namespace vantilcore::config {
namespace {

// Who the client application says it is; kept as copies because callers
// destroy their strings right after each call.
class ClientIdentity {
 public:
  static ClientIdentity& Instance() {
    static ClientIdentity identity;
    return identity;
  }
  void Store(UTF16String ClientIdentity::*field, const UTF16String& value) {
    std::lock_guard lock(mutex_);
    this->*field = value;
  }

  UTF16String name;
  UTF16String company;
  UTF16String version;
  UTF16String internalVersion;
  UTF16String buildNumber;
  UTF16String sapCode;
  UTF16String sapVariant;

 private:
  std::mutex mutex_;
};

void Store(UTF16String ClientIdentity::*field, const UTF16String& value) {
  ClientIdentity::Instance().Store(field, value);
}

}  // namespace

void SetClientName(const UTF16String& name) { Store(&ClientIdentity::name, name); }
void SetCompanyName(const UTF16String& name) { Store(&ClientIdentity::company, name); }
void SetClientVersion(const UTF16String& version) { Store(&ClientIdentity::version, version); }
void SetClientInternalVersion(const UTF16String& version) {
  Store(&ClientIdentity::internalVersion, version);
}
void SetClientBuildNumber(const UTF16String& build) { Store(&ClientIdentity::buildNumber, build); }
void SetSAPCode(const UTF16String& code, const UTF16String& variant) {
  Store(&ClientIdentity::sapCode, code);
  Store(&ClientIdentity::sapVariant, variant);
}

}  // namespace vantilcore::config
