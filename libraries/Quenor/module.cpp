#include <boost/make_shared.hpp>

#include "Quenor/Quenor.h"

namespace Quenor {

Module::Module(void* instance) : instance_(instance) {}

int Module::Create(void* instance, boost::shared_ptr<Module>& holder) {
  holder = boost::make_shared<Module>(instance);
  return 0;
}

}  // namespace Quenor
