#pragma once

#include "platform/MountWatch.h"
#include "tasks/DriveWait.h"
#include "tasks/TaskRunOutcome.h"
#include "tasks/TaskStore.h"

#include <QObject>
#include <functional>
#include <optional>
#include <set>

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
    void RescheduleTasks();
    void showFlexGrid1();
    void MSHFlexGrid1_Click(int row);
    void BSTask();
    void BRemove();
    // The scheduler tick: every due task (found in the store) goes to the runs.
    void runDueTasks();

    // OK in the task dialog; true when the dialog closes.
    bool saveTask(const QString& name, const TaskOptions& options);
    // A mount or unmount: a task that waits for its drive runs as soon as the drive is back.
    void drivesChanged();

    // Tests replace how the modal dialog is run.
    void setDialogRunner(std::function<int(TaskInput&)> runner) { runDialog_ = std::move(runner); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void taskRunRecorded(const TaskRunOutcome& outcome);
    bool ensureStore();
    void reportDatabaseError(const QString& message);

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
    const VolumeIdentity* volumeIdentity_;
    DriveWait driveWait_;
    MountWatch mounts_;
    QSocketNotifier* mountNotifier_ = nullptr;
    // Tasks whose absent drive the tray has told of; told again only after a good run.
    std::set<std::string> toldDriveAbsent_;
};

} // namespace tavelin::gui
