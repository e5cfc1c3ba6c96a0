#pragma once

#include "core/copy/CopyEngine.h"
#include "core/copy/FileOps.h"
#include "core/copy/RunResult.h"
#include "core/copy/Selection.h"
#include "core/copy/SurveyResult.h"
#include "core/tasks/TaskRecord.h"
#include "core/tasks/TaskRunEntry.h"
#include "core/tasks/TaskRunOutcome.h"
#include "gui/run/RunDisplay.h"

#include <QObject>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>

namespace tavelin {
class Clock;
class Volumes;
class VolumeIdentity;
} // namespace tavelin

namespace tavelin::gui {

class MessageBoxes;
class SelectionController;
struct MainControls;
struct MainState;

// Count and copy runs for the window: the engine works off the user-interface thread, its
// progress comes back as events (at most one waiting at a time), and only one run goes at once.
// A copy asked for during a run (the update rate) runs once after it; due tasks queue up.
class RunController : public QObject {
    Q_OBJECT
  public:
    RunController(MainControls& controls, MainState& state, SelectionController& selection,
                  const Volumes& volumes, const Clock& clock, MessageBoxes& messages,
                  std::string databasePath, const VolumeIdentity* volumeIdentity = nullptr,
                  FileOps* fileOps = nullptr, QObject* parent = nullptr);
    ~RunController() override;

    // The Run button: "Click Lock to continue" on an unlocked selection; nothing during a run.
    void runButton();
    // The Count button: nothing while countBlocked.
    void countButton();
    // A copy of the window's selection (update rate): returns at once when unlocked; waits for
    // a run under way.
    void runCopy();
    // Runs a due task with its own stored selection (claimed and recorded by the core);
    // `trigger` goes into its history. A manual run ("Run now") is not claimed.
    void queueTask(const TaskRecord& task, const std::string& trigger = TaskRunEntry::kSchedule);
    bool isQueued(const std::string& taskName) const;

    bool busy() const { return busy_; }
    // Stops a run under way between files and waits for it (program exit).
    void stopAndWait();

  signals:
    void taskRunRecorded(const tavelin::TaskRunOutcome& outcome);
    // Another scheduler (tavelin-cli serve, another window) took a due task first.
    void taskClaimedElsewhere();
    void databaseError(const QString& message);
    // The window's own run ended with failures: `count` files, the first one's reason.
    void windowRunFailed(qint64 count, const QString& firstReason);
    void becameIdle();
    // A count or a run has ended (its files may be in the destination now).
    void runEnded();

  private:
    class Relay;
    enum class Kind { Count, WindowRun, TaskRun };

    void start(Kind kind, const Selection& selection, std::optional<TaskRecord> task,
               const std::string& trigger = {});
    void startNext();
    void applySurvey(const SurveyTotals& totals);
    void applyProgress();
    void finished();

    MainControls& c_;
    MainState& state_;
    SelectionController& selection_;
    const Clock& clock_;
    MessageBoxes& messages_;
    std::string databasePath_;
    const VolumeIdentity* volumeIdentity_;
    FileOps ownOps_;
    CopyEngine engine_;
    RunDisplay display_;

    bool busy_ = false;
    bool windowRunPending_ = false;
    std::deque<std::pair<TaskRecord, std::string>> taskQueue_;
    Kind kind_ = Kind::Count;
    std::optional<TaskRecord> currentTask_;
    std::string currentTrigger_;
    std::thread worker_;
    std::unique_ptr<Relay> relay_;
    std::atomic<bool> stop_{false};

    std::mutex resultMutex_;
    // What the engine's thread hands back: nothing yet, a count, a window run or a task run.
    using Finished = std::variant<std::monostate, Result<SurveyResult>, Result<RunResult>,
                                  Result<std::optional<TaskRunOutcome>>>;
    Finished result_;

    void showCount(const Result<SurveyResult>& count);
    void showWindowRun(const Result<RunResult>& run);
    void showTaskRun(const Result<std::optional<TaskRunOutcome>>& task);
};

} // namespace tavelin::gui
