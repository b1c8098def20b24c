// Builds without libgettextpo (the Windows build): reading PO files says so.
#include "errors.h"
#include "po_file.h"

namespace lexiqon {
namespace {

constexpr char kNoPo[] = "PO files need libgettextpo, which this build of lexiqon lacks";

}  // namespace

PoCatalog ReadPo(InputFile&, const PoReadOptions&, Reporter&) { throw UsageError(kNoPo); }

}  // namespace lexiqon
