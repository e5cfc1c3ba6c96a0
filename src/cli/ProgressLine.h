#pragma once

#include "core/copy/RunObserver.h"

#include <atomic>
#include <chrono>
#include <iosfwd>

namespace tavelin::cli {

// A single updating progress line on a terminal ("files n of N, bytes b of B"), redrawn at
// most ten times a second. Silent when the stream is not a terminal.
class ProgressLine final : public RunObserver {
  public:
    ProgressLine(std::ostream& err, bool enabled, const std::atomic<bool>& stop);
    ~ProgressLine() override;

    void surveyFinished(const SurveyTotals& totals) override;
    void fileDone(const RunProgress& progress) override;
    void folderEntered(const RunProgress& progress) override;
    bool stopRequested() const override;
    void finish();

  private:
    void draw(const RunProgress& progress, bool force);

    std::ostream& err_;
    bool enabled_;
    const std::atomic<bool>& stop_;
    SurveyTotals totals_;
    std::chrono::steady_clock::time_point lastDraw_{};
    bool drawn_ = false;
};

} // namespace tavelin::cli
