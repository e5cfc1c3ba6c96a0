#pragma once

#include "core/platform/MountWatch.h"
#include "core/tasks/DuePass.h"
#include "core/tasks/TaskRunOutcome.h"
#include "core/tasks/TaskStore.h"
#include "core/watch/ChangeScheduler.h"
#include "core/watch/InotifyApi.h"

#include <QObject>
#include <functional>
#include <optional>
#include <set>

class QMenu;
class QSocketNotifier;
class QWidget;

namespace tavelin {
class Clock;
class VolumeIdentity;
} // namespace tavelin

namespace tavelin::gui {

class MessageBoxes;
class RunController;
class SelectionController;
class TaskHistory;
class TaskInput;
class TrayController;
struct MainControls;
struct TaskOptions;

// The scheduled tasks in the window: the grid, saving and removing, loading a task into the
// selection, handing due tasks to the runs, and telling about failed runs.
class TaskController : public QObject {
    Q_OBJECT
  public:
    TaskController(MainControls& controls, SelectionController& selection, RunController& runs,
                   TrayController& tray, MessageBoxes& messages, const Clock& clock,
                   std::string databasePath, const VolumeIdentity* volumeIdentity, QWidget* window);

    // Start-up: open the store, reschedule (a missed run of a task that catches up stays due,
    // so the tick runs it soon), fill the grid.
    void rescheduleTasks();
    void refreshTaskGrid();
    void loadTaskFromRow(int row);
    void saveSelectionAsTask();
    void removeSelectedTask();
    // The scheduler tick: every due task (found in the store) goes to the runs.
    void runDueTasks();

    // OK in the task dialog; true when the dialog closes.
    bool saveTask(const QString& name, const TaskOptions& options);
    // A mount or unmount: a task that waits for its drive runs as soon as the drive is back.
    void drivesChanged();

    // Tests replace how the modal dialogs are run.
    void setDialogRunner(std::function<int(TaskInput&)> runner) { runDialog_ = std::move(runner); }
    void setHistoryRunner(std::function<int(TaskHistory&)> runner) {
        runHistory_ = std::move(runner);
    }

    // The menu of a task row (right click): "Run now", "History…", "Remove". Null for a row
    // without a task. The caller owns it.
    QMenu* taskMenu(int row);
    // "Run now": the task's own stored selection, like a due run, recorded as manual.
    void runNow(const QString& name);
    void showHistory(const QString& name);
    // Asks as Remove does, then deletes the task and its history.
    void removeTask(const QString& name);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void taskRunRecorded(const TaskRunOutcome& outcome);
    bool ensureStore();
    void reportDatabaseError(const QString& message);
    // Tasks that also copy on change: their watchers follow the store, and a source quiet
    // for its settle time after a change queues a run.
    void watchChanges();

    MainControls& c_;
    SelectionController& selection_;
    RunController& runs_;
    TrayController& tray_;
    MessageBoxes& messages_;
    const Clock& clock_;
    std::string databasePath_;
    QWidget* window_;
    std::optional<TaskStore> store_;
    QString lastError_;
    std::function<int(TaskInput&)> runDialog_;
    std::function<int(TaskHistory&)> runHistory_;
    const VolumeIdentity* volumeIdentity_;
    DuePass due_;
    InotifyApi inotify_;
    ChangeScheduler changes_;
    MountWatch mounts_;
    QSocketNotifier* mountNotifier_ = nullptr;
    // Tasks whose absent drive the tray has told of; told again only after a good run.
    std::set<std::string> toldDriveAbsent_;
};

} // namespace tavelin::gui
