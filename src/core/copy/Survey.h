#pragma once

#include "core/copy/Selection.h"
#include "core/copy/SurveyResult.h"
#include "core/util/Error.h"

#include <functional>
#include <string>

namespace tavelin {

class FileWorkers;
class PathRules;

// Counts what a copy run of a selection looks at: matching files, sub-folders entered, and the
// exact byte total. It walks exactly as the run does, and creates nothing.
class Survey {
  public:
    // Asked between files; true ends the survey there (a large tree must not delay a stop).
    using StopCheck = std::function<bool()>;

    explicit Survey(const PathRules& rules) : rules_(rules) {}

    Result<SurveyResult> countFiles(const Selection& selection, FileWorkers& workers,
                                    const StopCheck& stop = {}) const;

    // The folder a run must not walk: its destination (skipped by identity should it lie
    // inside the source, however it is spelled or reached).
    static std::string folderToSkip(const PathRules& rules, const Selection& selection);

  private:
    const PathRules& rules_;
};

} // namespace tavelin
