#include "prefetch/lists/application_lists.h"

namespace SpeedLauncher {

ApplicationList* ApplicationLists::Find(std::string_view name) {
  if (name == "common") return &common;
  if (name == "marl") return &marl;
  if (name == "tarn") return &tarn;
  if (name == "zolt") return &zolt;
  if (name == "pellicor") return &pellicor;
  return nullptr;
}

ApplicationLists& Lists() {
  static ApplicationLists lists;
  return lists;
}

}  // namespace SpeedLauncher
