// An application module whose entry returns at once: what the launcher costs.
#include <Stoven/Run.h>

extern "C" __attribute__((visibility("default"))) std::int32_t Run(const UTF16String&, std::int32_t,
                                                                   std::uint32_t) {
  return 0;
}
