#pragma once

#include "analysis.h"
#include "input_file.h"

namespace lexiqon {

// A text dictionary read line by line, in pieces, as a load reads it, with
// the findings on its lines.
AnalysedFile AnalyseText(InputFile& file, const AnalysisOptions& options, Reporter& report,
                         tessvik::Dictionary* together);

}  // namespace lexiqon
