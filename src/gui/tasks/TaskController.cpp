#include "gui/tasks/TaskController.h"

#include "core/tasks/TaskDatabaseLocation.h"
#include "core/tasks/UpdateRates.h"
#include "core/util/Clock.h"
#include "gui/run/RunController.h"
#include "gui/selection/SelectionController.h"
#include "gui/tasks/TaskGrid.h"
#include "gui/tasks/TaskHistory.h"
#include "gui/tasks/TaskInput.h"
#include "gui/tray/TrayController.h"
#include "gui/ui/DirList.h"
#include "gui/ui/MainControls.h"
#include "gui/ui/MessageBoxes.h"
#include "gui/ui/StatusLine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSocketNotifier>
#include <QTableWidget>
#include <memory>

namespace tavelin::gui {

TaskController::TaskController(MainControls& controls, SelectionController& selection,
                               RunController& runs, TrayController& tray, MessageBoxes& messages,
                               const Clock& clock, std::string databasePath,
                               const VolumeIdentity* volumeIdentity, QWidget* window)
    : QObject(window), c_(controls), selection_(selection), runs_(runs), tray_(tray),
      messages_(messages), clock_(clock), databasePath_(std::move(databasePath)), window_(window),
      runDialog_([](TaskInput& d) { return d.exec(); }),
      runHistory_([](TaskHistory& d) { return d.exec(); }), volumeIdentity_(volumeIdentity),
      due_(volumeIdentity, clock.now()), changes_(clock, inotify_) {
    if (mounts_.valid()) {
        // The kernel flags the mount table with a priority event on every mount and unmount.
        mountNotifier_ = new QSocketNotifier(mounts_.fd(), QSocketNotifier::Exception, this);
        connect(mountNotifier_, &QSocketNotifier::activated, this, [this] {
            mounts_.changed(0);
            drivesChanged();
        });
    }
    connect(c_.MSHFlexGrid1, &QTableWidget::cellClicked, this,
            [this](int row, int) { loadTaskFromRow(row); });
    // The keyboard: arrows choose a row, Enter loads it as a click does.
    c_.MSHFlexGrid1->installEventFilter(this);
    c_.MSHFlexGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(c_.MSHFlexGrid1, &QTableWidget::customContextMenuRequested, this,
            [this](const QPoint& at) {
                std::unique_ptr<QMenu> menu(taskMenu(c_.MSHFlexGrid1->rowAt(at.y())));
                if (menu) {
                    menu->exec(c_.MSHFlexGrid1->viewport()->mapToGlobal(at));
                }
            });
    // A failed run of the window's own selection is told as a task's is.
    connect(&runs_, &RunController::windowRunFailed, this,
            [this](qint64 count, const QString& reason) {
                tray_.notify("Tavelin", "Run failed: " + QString::number(count) +
                                            " Files failed; the first: " + reason);
            });
    connect(&runs_, &RunController::taskRunRecorded, this, &TaskController::taskRunRecorded);
    connect(&runs_, &RunController::databaseError, this, &TaskController::reportDatabaseError);
    connect(&runs_, &RunController::taskClaimedElsewhere, this, &TaskController::refreshTaskGrid);
}

bool TaskController::ensureStore() {
    if (store_) {
        return true;
    }
    auto ok = TaskDatabaseLocation::prepareFolder(databasePath_);
    auto store =
        ok ? TaskStore::open(databasePath_) : Result<TaskStore>(std::unexpected(ok.error()));
    if (!store) {
        reportDatabaseError(QString::fromStdString(store.error().message));
        return false;
    }
    store_.emplace(std::move(*store));
    lastError_.clear();
    return true;
}

void TaskController::reportDatabaseError(const QString& message) {
    // Told once, in a box and on the status line; the tick retries quietly every second.
    if (message == lastError_) {
        return;
    }
    lastError_ = message;
    c_.lblStatus->showMessage(message);
    messages_.show(MessageBoxes::Icon::Exclamation, QString(), message, MessageBoxes::Ok);
}

void TaskController::rescheduleTasks() {
    if (!ensureStore()) {
        return;
    }
    // Runs missed before this start are catch-up runs.
    due_.restart(clock_.now());
    if (auto ok = store_->rescheduleTasks(clock_); !ok) {
        reportDatabaseError(QString::fromStdString(ok.error().message));
    }
    refreshTaskGrid();
}

void TaskController::refreshTaskGrid() {
    if (!ensureStore()) {
        TaskGrid::fill(c_.MSHFlexGrid1, {});
        return;
    }
    auto tasks = store_->listTasks();
    if (!tasks) {
        reportDatabaseError(QString::fromStdString(tasks.error().message));
        return;
    }
    TaskGrid::fill(c_.MSHFlexGrid1, *tasks);
}

void TaskController::loadTaskFromRow(int row) {
    const QString name = TaskGrid::nameAt(c_.MSHFlexGrid1, row);
    if (name.isEmpty() || name == "Scheduled Tasks" || !ensureStore()) {
        return;
    }
    auto found = store_->findTask(name.toStdString());
    if (!found || !*found) {
        return; // gone since the grid was filled
    }
    const TaskRecord& t = **found;
    selection_.loadTask(QString::fromStdString(t.task_source),
                        QString::fromStdString(t.task_destination),
                        QString::fromStdString(t.task_interval), t.task_subfolders,
                        QString::fromStdString(t.task_filetypes), t.task_uncpath);
}

void TaskController::saveSelectionAsTask() {
    if (c_.cboUpdateRate->currentText().isEmpty()) {
        messages_.show(MessageBoxes::Icon::None, QString(),
                       "Please select or enter the time interval (00:00)!", MessageBoxes::Ok);
        return;
    }
    TaskInput dialog(
        window_,
        [this](const QString& name, const TaskOptions& options) { return saveTask(name, options); },
        [this] { return c_.cboUpdateRate->currentText().isEmpty(); },
        [this] {
            messages_.show(MessageBoxes::Icon::None, QString(),
                           "Please enter or select the update interval!", MessageBoxes::Ok);
        });
    runDialog_(dialog);
}

bool TaskController::saveTask(const QString& name, const TaskOptions& options) {
    if (!ensureStore()) {
        return true;
    }
    const Selection s = selection_.selection();
    TaskRecord draft;
    draft.task_name = name.toStdString();
    draft.task_source = s.sourceRoot;
    draft.task_destination = s.destinationRoot;
    draft.task_subfolders = s.subfolders;
    draft.task_interval = UpdateRates::intervalFor(c_.cboUpdateRate->currentText().toStdString());
    draft.task_filetypes = s.pattern;
    draft.task_uncpath = s.typedDestination;
    draft.task_catchup = options.catchUp;
    draft.task_onchange = options.onChange;
    draft.task_keepversions = options.keepVersions;
    draft.task_volume = DriveWait::volumeOf(volumeIdentity_, draft);
    auto saved = store_->addTask(draft, clock_.now());
    if (!saved) {
        messages_.show(MessageBoxes::Icon::None, QString(),
                       QString::fromStdString(saved.error().message), MessageBoxes::Ok);
        // A refused interval or name keeps the dialog open; a taken name closes it.
        return saved.error().kind != Error::Kind::BadInterval &&
               saved.error().kind != Error::Kind::BadName;
    }
    refreshTaskGrid();
    return true;
}

void TaskController::removeSelectedTask() {
    const QString name = TaskGrid::nameAt(c_.MSHFlexGrid1, c_.MSHFlexGrid1->currentRow());
    if (c_.MSHFlexGrid1->currentRow() < 0 || name.isEmpty()) {
        return; // no task chosen: nothing to ask about
    }
    removeTask(name);
}

void TaskController::removeTask(const QString& name) {
    // No is the default: Enter alone never deletes a task.
    const int answer = messages_.show(MessageBoxes::Icon::None, "Warning",
                                      "Do you really want to delete this task? " + name,
                                      MessageBoxes::Yes | MessageBoxes::No, MessageBoxes::No);
    if (answer != MessageBoxes::Yes || !ensureStore()) {
        return;
    }
    if (auto ok = store_->deleteTask(name.toStdString()); !ok) {
        reportDatabaseError(QString::fromStdString(ok.error().message));
    }
    refreshTaskGrid();
}

QMenu* TaskController::taskMenu(int row) {
    const QString name = TaskGrid::nameAt(c_.MSHFlexGrid1, row);
    if (row < 0 || name.isEmpty()) {
        return nullptr;
    }
    c_.MSHFlexGrid1->setCurrentCell(row, 0);
    auto* menu = new QMenu(c_.MSHFlexGrid1);
    menu->setObjectName("TaskMenu");
    connect(menu->addAction("Run now"), &QAction::triggered, this, [this, name] { runNow(name); });
    connect(menu->addAction("History\u2026"), &QAction::triggered, this,
            [this, name] { showHistory(name); });
    connect(menu->addAction("Remove"), &QAction::triggered, this,
            [this, name] { removeTask(name); });
    return menu;
}

void TaskController::runNow(const QString& name) {
    if (!ensureStore()) {
        return;
    }
    auto task = store_->findTask(name.toStdString());
    if (task && *task) {
        runs_.queueTask(**task, TaskRunEntry::kManual);
    }
}

void TaskController::showHistory(const QString& name) {
    if (!ensureStore()) {
        return;
    }
    auto runs = store_->history(name.toStdString(), TaskStore::kHistoryPerTask);
    if (!runs) {
        reportDatabaseError(QString::fromStdString(runs.error().message));
        return;
    }
    TaskHistory dialog(window_, name, std::move(*runs));
    runHistory_(dialog);
}

bool TaskController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.MSHFlexGrid1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            loadTaskFromRow(c_.MSHFlexGrid1->currentRow());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TaskController::runDueTasks() {
    if (!ensureStore()) {
        return;
    }
    auto due = due_.dueNow(*store_, clock_.now());
    if (!due) {
        reportDatabaseError(QString::fromStdString(due.error().message));
        return;
    }
    watchChanges();
    // The core decides what is due and why; the runs go through the run controller's queue
    // and thread, so the window stays responsive.
    for (const auto& [task, trigger] : *due) {
        runs_.queueTask(task, trigger);
    }
}

void TaskController::watchChanges() {
    auto tasks = store_->listTasks();
    if (!tasks) {
        return;
    }
    for (const auto& n : changes_.sync(*tasks)) {
        const QString text = "Task '" + QString::fromStdString(n.task) +
                             "' copies on its interval only: watching it for changes needs " +
                             QString::number(n.neededWatches) +
                             " folder watches, more than the system allows";
        c_.lblStatus->showMessage(text);
        tray_.notify("Tavelin", text);
    }
    changes_.poll();
    for (const auto& name : changes_.due()) {
        auto task = store_->findTask(name);
        if (task && *task && runs_.isQueued(name)) {
            changes_.postpone(name); // one more run once the one under way is done
        } else if (task && *task) {
            runs_.queueTask(**task, TaskRunEntry::kChange);
        } else {
            changes_.finished(name);
        }
    }
}

void TaskController::taskRunRecorded(const TaskRunOutcome& outcome) {
    changes_.finished(outcome.task.task_name);
    refreshTaskGrid();
    due_.recorded(outcome);
    const std::string& name = outcome.task.task_name;
    if (outcome.ok()) {
        toldDriveAbsent_.erase(name);
        return;
    }
    // An unplugged drive fails every interval; telling it each time would only be noise.
    if (outcome.driveAbsent && !toldDriveAbsent_.insert(name).second) {
        return;
    }
    tray_.notify("Tavelin",
                 QString::fromStdString("Task '" + name + "' failed: " + outcome.firstFailure));
}

void TaskController::drivesChanged() {
    if (!due_.waitingForDrive() || !ensureStore()) {
        return;
    }
    auto due = due_.drivesChanged(*store_, clock_.now());
    if (!due) {
        reportDatabaseError(QString::fromStdString(due.error().message));
        return;
    }
    if (*due > 0) {
        runDueTasks();
    }
}

} // namespace tavelin::gui
