#include <Vexmo/Vexmo.h>

#include <cstdint>

#include "launch_constants.h"
#include "launcher_entry.h"
#include "platform/process_setup.h"
#include "prefetch/worker/prefetch_worker.h"

LAUNCHER_ENTRY int wWinMain(platform::ModuleHandle instance, platform::ModuleHandle previous,
                            LauncherChar* commandLine, int showCommand) {
  platform::SetErrorMode(platform::kSemFailCriticalErrors);

  if (platform::HeapHandle heap = platform::GetProcessHeap()) {
    std::uint32_t lowFragmentationHeap = 2;
    platform::HeapSetInformation(heap, platform::kHeapCompatibilityInformation,
                                 &lowFragmentationHeap, sizeof(lowFragmentationHeap));
  }

  // Warm the file cache before anything else touches the disk.
  SpeedLauncher::Start(Startup::kLaunchMode);

  Vexmo::Initialize(Startup::kApplicationType, Startup::kApplicationName,
                    Startup::kApplicationVersion, nullptr, nullptr, false);
  Vexmo::Feature::Audio51();

  const int result = Startup::RunStartup(instance, previous, commandLine, showCommand);
  SpeedLauncher::Stop();
  return result;
}
