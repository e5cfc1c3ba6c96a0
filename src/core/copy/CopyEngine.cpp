#include "core/copy/CopyEngine.h"

#include "core/copy/CopyRun.h"
#include "core/copy/FileOps.h"
#include "core/copy/FileWorkers.h"
#include "core/copy/FolderWalk.h"
#include "core/copy/RunObserver.h"
#include "core/platform/NetworkShare.h"
#include "core/platform/Volumes.h"

#include <algorithm>
#include <sys/stat.h>

namespace tavelin {

namespace {

Result<void> checkSelection(const Selection& selection, bool needsDestination) {
    if (selection.sourceRoot.empty()) {
        return fail("no source folder given");
    }
    if (needsDestination && selection.destinationRoot.empty()) {
        return fail("no destination folder given");
    }
    return {};
}

} // namespace

CopyEngine::CopyEngine(const Volumes& volumes, FileOps& ops, unsigned workerThreads)
    : volumes_(volumes), rules_(volumes), survey_(rules_), ops_(ops),
      workerThreads_(workerThreads) {}

Result<Selection> CopyEngine::resolveDestination(const Selection& selection) const {
    Selection resolved = selection;
    if (selection.typedDestination && !selection.destinationRoot.empty()) {
        auto local = NetworkShare::resolve(selection.destinationRoot, volumes_.list(),
                                           volumes_.desktopShareFolder());
        if (!local) {
            return std::unexpected(local.error());
        }
        resolved.destinationRoot = std::move(*local);
    }
    return resolved;
}

Result<SurveyResult> CopyEngine::countFiles(const Selection& selection,
                                            const Survey::StopCheck& stop) const {
    if (auto ok = checkSelection(selection, false); !ok) {
        return std::unexpected(ok.error());
    }
    FileWorkers workers(workerThreads_);
    Selection counted = selection;
    if (auto resolved = resolveDestination(selection)) {
        counted = std::move(*resolved);
    } else {
        counted.destinationRoot.clear(); // nothing of it can lie inside the source
    }
    return survey_.countFiles(counted, workers, stop);
}

Result<RunResult> CopyEngine::runCopy(const Selection& typedSelection, RunObserver* observer,
                                      RunMode mode) const {
    if (auto ok = checkSelection(typedSelection, true); !ok) {
        return std::unexpected(ok.error());
    }
    const auto resolved = resolveDestination(typedSelection);
    if (!resolved) {
        return std::unexpected(resolved.error());
    }
    const Selection& selection = *resolved;
    // One clear error rather than a failure for every file below it.
    for (const auto& folder :
         {selection.destinationRoot,
          rules_.destinationBase(selection.sourceRoot, selection.destinationRoot,
                                 selection.typedDestination)}) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
            return fail(describe("cannot copy to", folder, "destination is not a folder"));
        }
    }
    FileWorkers workers(workerThreads_);
    auto survey = survey_.countFiles(selection, workers, [observer] {
        return observer != nullptr && observer->stopRequested();
    });
    if (!survey) {
        return std::unexpected(survey.error());
    }
    RunResult result;
    result.totals = survey->totals;
    if (survey->stopped) {
        result.stopped = true;
        return result; // stopped before anything was copied
    }
    if (observer != nullptr) {
        observer->surveyFinished(result.totals);
    }
    if (auto ok = copyFolder(selection, observer, result, workers, mode); !ok) {
        return std::unexpected(ok.error());
    }
    return result;
}

Result<void> CopyEngine::copyFolder(const Selection& selection, RunObserver* observer,
                                    RunResult& result, FileWorkers& workers, RunMode mode) const {
    const WildcardPattern pattern(selection.pattern);
    FolderWalk walk(pattern, selection.subfolders);
    if (const auto skip = Survey::folderToSkip(rules_, selection); !skip.empty()) {
        walk.skipFolder(skip);
    }
    CopyRun run(ops_,
                rules_.destinationBase(selection.sourceRoot, selection.destinationRoot,
                                       selection.typedDestination),
                observer, result, workers, mode,
                selection.keepVersions ? std::max(selection.versionsDays, 0) : -1);
    auto ok = walk.walk(selection.sourceRoot, run);
    result.stopped = walk.stopped();
    run.finish();
    return ok;
}

} // namespace tavelin
