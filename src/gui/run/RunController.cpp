#include "gui/run/RunController.h"

#include "core/copy/RunObserver.h"
#include "core/tasks/TaskRunner.h"
#include "core/tasks/TaskStore.h"
#include "core/util/Clock.h"
#include "gui/selection/MainState.h"
#include "gui/selection/SelectionController.h"
#include "gui/ui/MainControls.h"
#include "gui/ui/MessageBoxes.h"
#include "gui/ui/StatusLine.h"

#include <QMetaObject>

namespace tavelin::gui {

// Lives on the engine's thread: keeps the latest figures and posts one event at a time, so the
// window shows every file's figures without being flooded.
class RunController::Relay final : public RunObserver {
  public:
    Relay(RunController* owner, std::atomic<bool>& stop) : owner_(owner), stop_(stop) {}

    void surveyFinished(const SurveyTotals& totals) override {
        QMetaObject::invokeMethod(
            owner_, [o = owner_, totals] { o->applySurvey(totals); }, Qt::QueuedConnection);
    }
    void fileDone(const RunProgress& p) override { publish(p); }
    void folderEntered(const RunProgress& p) override { publish(p); }
    bool stopRequested() const override { return stop_.load(); }

    RunProgress latest() {
        std::lock_guard lock(mutex_);
        posted_ = false;
        return latest_;
    }

  private:
    void publish(const RunProgress& p) {
        std::lock_guard lock(mutex_);
        latest_ = p;
        if (!posted_) {
            posted_ = true;
            QMetaObject::invokeMethod(
                owner_, [o = owner_] { o->applyProgress(); }, Qt::QueuedConnection);
        }
    }

    RunController* owner_;
    std::atomic<bool>& stop_;
    std::mutex mutex_;
    RunProgress latest_;
    bool posted_ = false;
};

RunController::RunController(MainControls& controls, MainState& state,
                             SelectionController& selection, const Volumes& volumes,
                             const Clock& clock, MessageBoxes& messages, std::string databasePath,
                             const VolumeIdentity* volumeIdentity, FileOps* fileOps,
                             QObject* parent)
    : QObject(parent), c_(controls), state_(state), selection_(selection), clock_(clock),
      messages_(messages), databasePath_(std::move(databasePath)), volumeIdentity_(volumeIdentity),
      engine_(volumes, fileOps != nullptr ? *fileOps : ownOps_), display_(controls) {}

RunController::~RunController() {
    stopAndWait();
}

void RunController::stopAndWait() {
    stop_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
}

void RunController::runButton() {
    if (!selection_.isLocked()) {
        messages_.show(MessageBoxes::Icon::Critical, QString(), "Click Lock to continue",
                       MessageBoxes::Ok);
        return;
    }
    if (busy_) {
        return; // no run inside a run
    }
    runCopy();
}

void RunController::countButton() {
    if (state_.countBlocked || busy_) {
        return;
    }
    start(Kind::Count, selection_.selection(), std::nullopt);
}

void RunController::runCopy() {
    if (!selection_.isLocked()) {
        return;
    }
    if (busy_) {
        windowRunPending_ = true;
        return;
    }
    start(Kind::WindowRun, selection_.selection(), std::nullopt);
}

void RunController::queueTask(const TaskRecord& task, const std::string& trigger) {
    if (isQueued(task.task_name)) {
        return;
    }
    taskQueue_.emplace_back(task, trigger);
    if (!busy_) {
        startNext();
    }
}

bool RunController::isQueued(const std::string& taskName) const {
    if (currentTask_ && currentTask_->task_name == taskName) {
        return true;
    }
    for (const auto& [t, trigger] : taskQueue_) {
        if (t.task_name == taskName) {
            return true;
        }
    }
    return false;
}

void RunController::startNext() {
    if (!taskQueue_.empty()) {
        auto [task, trigger] = taskQueue_.front();
        taskQueue_.pop_front();
        start(Kind::TaskRun, Selection{}, task, trigger);
    } else if (windowRunPending_) {
        windowRunPending_ = false;
        runCopy();
    } else {
        emit becameIdle();
    }
}

void RunController::start(Kind kind, const Selection& selection, std::optional<TaskRecord> task,
                          const std::string& trigger) {
    if (worker_.joinable()) {
        worker_.join();
    }
    busy_ = true;
    kind_ = kind;
    currentTask_ = task;
    currentTrigger_ = trigger;
    stop_ = false;
    result_ = std::monostate{};
    relay_ = std::make_unique<Relay>(this, stop_);
    if (kind != Kind::Count) {
        state_.countBlocked = true;
    }
    c_.lblStatus->remember();
    display_.countStarted();

    worker_ = std::thread([this, kind, selection, task, trigger] {
        if (kind == Kind::Count) {
            auto r = engine_.countFiles(selection);
            std::lock_guard lock(resultMutex_);
            result_ = std::move(r);
        } else if (kind == Kind::WindowRun) {
            auto r = engine_.runCopy(selection, relay_.get());
            std::lock_guard lock(resultMutex_);
            result_ = std::move(r);
        } else {
            // Its own connection: the window's stays free for the grid meanwhile.
            Result<std::optional<TaskRunOutcome>> r = std::optional<TaskRunOutcome>();
            auto store = TaskStore::open(databasePath_);
            if (!store) {
                r = std::unexpected(store.error());
            } else {
                TaskRunner runner(*store, engine_, clock_, volumeIdentity_);
                if (trigger == TaskRunEntry::kManual) {
                    auto now = runner.runNow(task->task_name, relay_.get(), trigger);
                    r = now ? Result<std::optional<TaskRunOutcome>>(std::move(*now))
                            : std::unexpected(now.error());
                } else {
                    r = runner.runDue(*task, relay_.get(), trigger);
                }
            }
            std::lock_guard lock(resultMutex_);
            result_ = std::move(r);
        }
        QMetaObject::invokeMethod(
            this, [this] { finished(); }, Qt::QueuedConnection);
    });
}

void RunController::applySurvey(const SurveyTotals& totals) {
    display_.copyStarted(totals);
}

void RunController::applyProgress() {
    if (relay_ != nullptr) {
        display_.progress(relay_->latest());
    }
}

void RunController::showCount(const Result<SurveyResult>& count) {
    if (count) {
        display_.countFinished(count->totals);
    } else {
        display_.showError(QString::fromStdString(count.error().message));
    }
}

void RunController::showWindowRun(const Result<RunResult>& run) {
    if (!run) {
        display_.showError(QString::fromStdString(run.error().message));
        return;
    }
    display_.copyFinished(clock_.now(), run->totals, run->counters,
                          static_cast<std::int64_t>(run->failures.size()));
    if (!run->failures.empty()) {
        emit windowRunFailed(static_cast<qint64>(run->failures.size()),
                             QString::fromStdString(run->failures.front().reason));
    }
}

void RunController::showTaskRun(const Result<std::optional<TaskRunOutcome>>& task) {
    if (!task) {
        emit databaseError(QString::fromStdString(task.error().message));
        return;
    }
    if (!*task) {
        c_.lblStatus->restore();
        emit taskClaimedElsewhere();
        return;
    }
    const TaskRunOutcome& o = **task;
    if (o.run.totals.totalFiles > 0 || o.ok()) {
        display_.copyFinished(o.finishedAt, o.run.totals, o.run.counters,
                              static_cast<std::int64_t>(o.run.failures.size()));
    } else {
        display_.showError(QString::fromStdString(o.task.task_name + ": " + o.firstFailure));
    }
    emit taskRunRecorded(o);
}

void RunController::finished() {
    if (worker_.joinable()) {
        worker_.join();
    }
    std::lock_guard lock(resultMutex_);
    if (const auto* count = std::get_if<Result<SurveyResult>>(&result_)) {
        showCount(*count);
    } else if (const auto* run = std::get_if<Result<RunResult>>(&result_)) {
        showWindowRun(*run);
    } else if (const auto* task = std::get_if<Result<std::optional<TaskRunOutcome>>>(&result_)) {
        showTaskRun(*task);
    }
    if (kind_ != Kind::Count) {
        state_.countBlocked = false;
    }
    busy_ = false;
    currentTask_.reset();
    relay_.reset();
    emit runEnded();
    if (!stop_) {
        startNext();
    }
}

} // namespace tavelin::gui
