#pragma once

#include "core/copy/PathRules.h"
#include "core/copy/RunMode.h"
#include "core/copy/RunResult.h"
#include "core/copy/Selection.h"
#include "core/copy/Survey.h"
#include "core/copy/SurveyResult.h"
#include "core/util/Error.h"

namespace tavelin {

class FileOps;
class FileWorkers;
class RunObserver;
class Volumes;

// The copy engine: a survey, then a newer-only copy of every matching file. Holds no state
// between runs, so one engine (or several) can run any number of times in one process.
class CopyEngine {
  public:
    // The per-file work runs on `workerThreads` threads (0: as many as suit the machine);
    // `ops` must then be safe to call from several threads at once.
    CopyEngine(const Volumes& volumes, FileOps& ops, unsigned workerThreads = 0);

    // `stop` is asked between files; true ends the count there (the result says "stopped").
    Result<SurveyResult> countFiles(const Selection& selection,
                                    const Survey::StopCheck& stop = {}) const;

    // Surveys, then copies. Fails as a whole only when the selection cannot be run at all
    // (no source folder, no destination, a network share that is not mounted); per-file
    // failures travel in the result.
    // A destination that exists but is not a folder is such an error too.
    Result<RunResult> runCopy(const Selection& selection, RunObserver* observer = nullptr,
                              RunMode mode = RunMode::Copy) const;

  private:
    Result<void> copyFolder(const Selection& selection, RunObserver* observer, RunResult& result,
                            FileWorkers& workers, RunMode mode) const;

    // A typed network path becomes the folder where its share is mounted.
    Result<Selection> resolveDestination(const Selection& selection) const;

    const Volumes& volumes_;
    PathRules rules_;
    Survey survey_;
    FileOps& ops_;
    unsigned workerThreads_;
};

} // namespace tavelin
