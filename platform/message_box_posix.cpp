// The message always reaches standard error; on a desktop session it is
// also shown by the first dialog tool found, and waited for (it is modal).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/utf_common.h"

extern char** environ;

namespace platform {
namespace {

std::string Narrow(const char16_t* text) {
  return text == nullptr ? std::string() : Utf16ToUtf8(text);
}

bool HasDisplay() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

bool OnPath(const std::string& tool) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string folders(path);
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end == start ? "." : folders.substr(start, end - start);
    if (access((folder + "/" + tool).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

std::vector<std::string> DialogCommand(const std::string& caption, const std::string& text) {
  if (OnPath("zenity"))
    return {"zenity", "--error", "--no-markup", "--title=" + caption, "--text=" + text};
  if (OnPath("kdialog")) return {"kdialog", "--title", caption, "--error", text};
  if (OnPath("xmessage")) return {"xmessage", "-center", "-title", caption, caption + ": " + text};
  return {};
}

void RunAndWait(std::vector<std::string> command) {
  std::vector<char*> argv;
  for (std::string& argument : command) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return;
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

int MessageBoxW(WindowHandle, const char16_t* text, const char16_t* caption, std::uint32_t) {
  const std::string narrowCaption = Narrow(caption);
  const std::string narrowText = Narrow(text);
  std::fprintf(stderr, "%s: %s\n", narrowCaption.c_str(), narrowText.c_str());
  std::fflush(stderr);
  if (HasDisplay()) {
    std::vector<std::string> command = DialogCommand(narrowCaption, narrowText);
    if (!command.empty()) RunAndWait(std::move(command));
  }
  return kIdOk;
}

}  // namespace platform
