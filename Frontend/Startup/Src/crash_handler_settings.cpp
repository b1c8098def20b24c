#include "crash_handler_settings.h"

#include <Quenor/Quenor.h>

#include <cstring>

#include "vantilcore/console.h"
#include "vantilcore/string.h"

namespace Startup {

CrashHandlerSettings crashHandlerSettings;

namespace {

UTF8String Utf8(const char* text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  return UTF8String(bytes, bytes + std::strlen(text));
}

// The texts the record points into; they outlive every crash.
struct CrashHandlerTexts {
  UTF8String productName = Utf8(kProductName);
  UTF8String forumAddress = Utf8(kForumAddress);
  UTF8String logDirectory;
};

CrashHandlerTexts& Texts() {
  static CrashHandlerTexts texts;
  return texts;
}

}  // namespace

void PrepareCrashHandlerSettings(CrashHandlerSettings& settings) {
  CrashHandlerTexts& texts = Texts();
  settings.reserved1 = 0;
  // Address before length: a crash in between sees a text of length 0.
  settings.productName = texts.productName.c_str();
  settings.productNameLength = texts.productName.size();
  settings.forumAddress = texts.forumAddress.c_str();
  settings.forumAddressLength = texts.forumAddress.size();
}

void RecordSuppressDialog(CrashHandlerSettings& settings) {
  const bool suppress = ReadDebugFlag(vantilcore::debug::DebugDatabase::Instance(),
                                      Utf8(kSuppressDialogSwitch), false);
  settings.suppressDialog = suppress ? 1 : 0;
}

void RecordLogDirectory(CrashHandlerSettings& settings) {
  UTF16String logFile;
  if (!vantilcore::console::ConsoleLogFile::GetInstance().GetLogFilePath(logFile, false)) return;
  UTF8String& directory = Texts().logDirectory;
  directory = vantilcore::string::UTF16to8(Quenor::PathUtils::GetFullDirectoryPart(logFile));
  settings.logDirectory = directory.c_str();
  settings.logDirectoryLength = directory.size();
}

void RecordCoreSettings(CrashHandlerSettings& settings,
                        std::initializer_list<CrashSettingsStep> steps) {
  // Crash reporting works without these fields: nothing here may stop the start.
  try {
    for (CrashSettingsStep step : steps) step(settings);
  } catch (...) {
  }
}

bool ReadDebugFlag(vantilcore::debug::DebugDatabase& database, const UTF8String& key,
                   bool defaultValue) {
  const UTF8String value = database.GetEntry(key, Utf8(defaultValue ? "true" : "false"));
  return value == Utf8("true");
}

}  // namespace Startup
