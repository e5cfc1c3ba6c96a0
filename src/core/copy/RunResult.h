#pragma once

#include "core/copy/FileFailure.h"
#include "core/copy/RunProgress.h"
#include "core/copy/SurveyTotals.h"

#include <string>
#include <vector>

namespace tavelin {

struct RunResult {
    SurveyTotals totals;
    RunProgress counters;
    std::vector<FileFailure> failures;
    // A dry run: the source files it would have copied, in walk order.
    std::vector<std::string> wouldCopy;
    // The run ended early because its observer asked it to stop.
    bool stopped = false;

    // Every file that needed copying was copied.
    bool succeeded() const { return failures.empty() && !stopped; }
};

} // namespace tavelin
