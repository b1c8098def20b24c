#include "po_file.h"

namespace lexiqon {

bool IsPoPath(const std::string& path) {
  return path.size() > 3 && (path.compare(path.size() - 3, 3, ".po") == 0 ||
                             path.compare(path.size() - 3, 3, ".PO") == 0);
}

}  // namespace lexiqon
