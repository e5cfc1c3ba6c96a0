#pragma once

#include "core/copy/RunProgress.h"
#include "core/copy/SurveyTotals.h"

namespace tavelin {

// Listens to a run. Called on the thread that runs the engine; implementations that feed a
// user interface must hand the figures over to their own thread.
class RunObserver {
  public:
    virtual ~RunObserver() = default;
    virtual void surveyFinished(const SurveyTotals&) {}
    virtual void fileDone(const RunProgress&) {}
    virtual void folderEntered(const RunProgress&) {}
    // Asked between files; true ends the run there, leaving no partial file behind.
    virtual bool stopRequested() const { return false; }
};

} // namespace tavelin
