// Builds without libgettextpo (the Windows build): the PO commands say so.
#include "errors.h"
#include "po_file.h"

namespace lexiqon {
namespace {

constexpr char kNoPo[] = "PO files need libgettextpo, which this build of lexiqon lacks";

}  // namespace

PoCatalog ReadPo(const std::string&, Reporter&) { throw UsageError(kNoPo); }

std::string WritePo(const std::vector<PoMessage>&, Reporter&) { throw UsageError(kNoPo); }

}  // namespace lexiqon
