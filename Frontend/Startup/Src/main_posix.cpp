#include <cstdlib>
#include <string>
#include <vector>

#include "launcher_entry.h"
#include "platform/command_line.h"
#include "platform/crash_signal_scope.h"
#include "platform/modules.h"
#include "platform/process_setup.h"
#include "vantilcore/string.h"

// What the Windows runtime's start-up code does before wWinMain: the
// executable's own handle, no previous instance, the command line without
// the program path, and the default show command.
int main(int argc, char** argv) {
  // Before anything can crash, and whether or not the crash handler's
  // registration succeeds: a crash is never silent. Kept until exit.
  static const platform::CrashSignalScope crashSignals;
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i) {
    UTF16String argument = vantilcore::string::StdToUTF16String(argv[i]);
    arguments.emplace_back(argument.begin(), argument.end());
  }
  std::u16string commandLine = platform::QuoteCommandLine(arguments);
  std::exit(wWinMain(platform::GetModuleHandleW(nullptr), nullptr, commandLine.data(),
                     platform::kSwShowDefault));
}
