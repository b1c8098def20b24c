// The launcher names itself in its file for the crash handler's report:
// the application's name, version and build as compiled here.
#include <crashhandler/application_identity.h>

#include <array>
#include <cstddef>
#include <string_view>

#include "launch_constants.h"

namespace Startup {
namespace {

constexpr std::size_t kIdentityCapacity = 64;

constexpr std::array<char, kIdentityCapacity> ComposeIdentity() {
  std::array<char, kIdentityCapacity> text{};
  std::size_t at = 0;
  for (std::string_view part : {std::string_view(kApplicationName), std::string_view(" "),
                                std::string_view(kApplicationVersion), std::string_view(" (build "),
                                std::string_view(PELLICOR_BUILD_NUMBER), std::string_view(")")}) {
    for (char c : part) {
      if (at + 1 < text.size()) text[at++] = c;
    }
  }
  return text;
}

// Kept by the linker although nothing refers to it.
[[gnu::used, gnu::retain,
  gnu::section(
      PELLICOR_APPLICATION_IDENTITY_SECTION)]] constexpr std::array<char, kIdentityCapacity>
    kIdentity = ComposeIdentity();

}  // namespace
}  // namespace Startup
