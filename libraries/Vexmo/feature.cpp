#include "Vexmo/Vexmo.h"

namespace Vexmo::Feature {

bool Audio51() { return true; }

}  // namespace Vexmo::Feature
