#pragma once

#include "core/copy/FileFailure.h"
#include "core/copy/SurveyTotals.h"

#include <vector>

namespace tavelin {

struct SurveyResult {
    SurveyTotals totals;
    // Folders that could not be listed, files that could not be read.
    std::vector<FileFailure> failures;
    // The walk ended early because it was asked to stop; the totals are partial.
    bool stopped = false;
};

} // namespace tavelin
