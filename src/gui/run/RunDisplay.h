#pragma once

#include "core/copy/RunProgress.h"
#include "core/copy/SurveyTotals.h"
#include "core/util/LocalDateTime.h"

#include <QString>

namespace tavelin::gui {

struct MainControls;

// Shows a count or a copy run in the window: counter boxes, the three bars, the status line.
class RunDisplay {
  public:
    explicit RunDisplay(MainControls& controls) : c_(controls) {}

    void countStarted();
    // The survey's results: counter boxes, the bars' maxima, then a blank status line.
    void countFinished(const SurveyTotals& totals);
    // The copy begins: file bar and counters at 0, the " Scanning " line.
    void copyStarted(const SurveyTotals& totals);
    void progress(const RunProgress& p);
    // "Last run @ ..." with the size bar's caption.
    // The summary line; a run with failures says how many after it.
    void copyFinished(const LocalDateTime& when, const SurveyTotals& totals, const RunProgress& p,
                      std::int64_t failed = 0);
    void showError(const QString& message);

    // A whole number with the locale's digit grouping ("#,##0").
    static QString grouped(qint64 value);

  private:
    MainControls& c_;
    SurveyTotals totals_;
    RunProgress shown_;
};

} // namespace tavelin::gui
