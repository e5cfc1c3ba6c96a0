#pragma once

#include "copy/PathRules.h"
#include "copy/RunResult.h"
#include "copy/Selection.h"
#include "copy/Survey.h"
#include "copy/SurveyResult.h"
#include "util/Error.h"

namespace tavelin {

class FileOps;
class RunObserver;
class Volumes;

// The copy engine: a survey, then a newer-only copy of every matching file. Holds no state
// between runs, so one engine (or several) can run any number of times in one process.
class CopyEngine {
public:
    CopyEngine(const Volumes& volumes, FileOps& ops);

    Result<SurveyResult> CountFiles(const Selection& selection) const;

    // Surveys, then copies. Fails as a whole only when the selection cannot be run at all
    // (no source folder, no destination); per-file failures travel in the result.
    Result<RunResult> RunCopy(const Selection& selection, RunObserver* observer = nullptr) const;

private:
    Result<void> CopyFolder(const Selection& selection, RunObserver* observer,
                            RunResult& result) const;

    PathRules rules_;
    Survey survey_;
    FileOps& ops_;
};

} // namespace tavelin
