#include "crash_dialog.h"

#include <cstdio>
#include <string>

#include "crash_report.h"
#include "platform/message_box.h"
#include "platform/utf_common.h"

namespace crashhandler {

CrashDialogMessage ComposeCrashDialog(const CrashSettings& settings,
                                      const std::optional<std::filesystem::path>& reportFile) {
  const std::string product =
      settings.productName.empty() ? "The application" : Printable(settings.productName);
  std::string text = product + " stopped unexpectedly.";
  if (reportFile) {
    text += " A crash report was saved as " + Utf8Text(*reportFile) + ".";
  }
  if (!settings.forumAddress.empty()) {
    text += " You can ask for help in the community forum: " + Printable(settings.forumAddress);
  }
  return {product + " crashed", text};
}

void ShowCrashDialog(const CrashSettings& settings,
                     const std::optional<std::filesystem::path>& reportFile) {
  if (settings.suppressDialog) {
    std::fputs("Crash dialog suppressed.\n", stderr);
    std::fflush(stderr);
    return;
  }
  const CrashDialogMessage message = ComposeCrashDialog(settings, reportFile);
  platform::MessageBoxW(nullptr, platform::Utf8ToUtf16(message.text).c_str(),
                        platform::Utf8ToUtf16(message.caption).c_str(),
                        platform::kMbOk | platform::kMbIconError);
}

}  // namespace crashhandler
