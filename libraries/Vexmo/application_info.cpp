#include <mutex>
#include <string>

#include "Vexmo/Vexmo.h"

namespace Vexmo {
namespace {

struct ApplicationInfo {
  std::mutex mutex;
  int type = 0;
  std::string name;
  std::string version;
};

ApplicationInfo& Info() {
  static ApplicationInfo info;
  return info;
}

const char* OrEmpty(const char* text) { return text ? text : ""; }

}  // namespace

// Edition, locale and the trial flag change nothing this library answers.
void Initialize(int applicationType, const char* name, const char* version, const char*,
                const char*, bool) {
  ApplicationInfo& info = Info();
  std::lock_guard lock(info.mutex);
  info.type = applicationType;
  info.name = OrEmpty(name);
  info.version = OrEmpty(version);
}

// Texts stay valid until the next Initialize, which is called once.
const char* GetApplicationName() {
  ApplicationInfo& info = Info();
  std::lock_guard lock(info.mutex);
  return info.name.c_str();
}

const char* GetApplicationVersion() {
  ApplicationInfo& info = Info();
  std::lock_guard lock(info.mutex);
  return info.version.c_str();
}

const char* GetApplicationBuild() { return VEXMO_BUILD_NUMBER; }

}  // namespace Vexmo
