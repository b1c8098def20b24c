#include "crash_dialog.h"

#include <cstdio>
#include <string>

#include "crash_report.h"
#include "platform/message_box.h"
#include "platform/utf_common.h"

namespace crashhandler {

void ShowCrashDialog(const CrashSettings& settings,
                     const std::optional<std::filesystem::path>& reportFile) {
  if (settings.suppressDialog) {
    std::fputs("Crash dialog suppressed.\n", stderr);
    std::fflush(stderr);
    return;
  }
  const std::string product =
      settings.productName.empty() ? "The application" : Printable(settings.productName);
  std::string text = product + " stopped unexpectedly.";
  if (reportFile) {
    text += " A crash report was saved as " + Utf8Text(*reportFile) + ".";
  }
  if (!settings.forumAddress.empty()) {
    text += " You can ask for help in the community forum: " + Printable(settings.forumAddress);
  }
  const std::u16string caption = platform::Utf8ToUtf16(product + " crashed");
  platform::MessageBoxW(nullptr, platform::Utf8ToUtf16(text).c_str(), caption.c_str(),
                        platform::kMbOk | platform::kMbIconError);
}

}  // namespace crashhandler
