#pragma once

#include "core/shell/AutostartEntry.h"
#include "gui/selection/MainState.h"
#include "gui/ui/MainControls.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QSettings;

namespace tavelin {
class Clock;
class FileOps;
class Volumes;
class VolumeIdentity;
} // namespace tavelin

namespace tavelin::gui {

class MessageBoxes;
class RunController;
class SchedulerTick;
class SelectionController;
class SettingsStore;
class TaskController;
class TrayController;

// What the main window needs from outside; tests pass their own.
struct MainDependencies {
    const Clock& clock;
    const Volumes& volumes;
    MessageBoxes& messages;
    QSettings& settings;
    std::string databasePath;
    QString programPath;
    QString arguments;
    AutostartEntry autostart;
    bool trayAvailable;
    // Ends the program at once (the last step of Exit).
    std::function<void()> quit;
    QString website;
    QString email;
    // The copy's file operations; the real ones when null (tests slow them down or fail them).
    FileOps* fileOps = nullptr;
    // Tells which drive a task's destination lies on; without one no task checks its drive.
    const VolumeIdentity* volumeIdentity = nullptr;
    // The user's home folder; empty: the system's.
    QString homeFolder;
};

// The one long-lived window. It builds its controls and hands the work to its controllers.
class FrmMain : public QWidget {
    Q_OBJECT
  public:
    explicit FrmMain(MainDependencies deps);
    ~FrmMain() override;

    // The load handler: tray icon, "-min", drive positions, the two lists, read-only boxes,
    // remembered settings, the hour, and the tasks' start-up rescheduling.
    void startUp();
    // Shows the window unless the load handler hid it.
    void showAfterLoad();
    void showFromTray();
    void exitProgram();
    // The desktop session is ending (it may end the program without a close): keep the choices.
    void saveSettings();
    // cmdClose and BM: hide to the tray; without a notification area, minimise instead.
    void hideWindow();
    void showAbout();

    MainControls& controls() { return c_; }
    MainState& state() { return state_; }
    SelectionController& selection() { return *selection_; }
    RunController& runs() { return *runs_; }
    TaskController& tasks() { return *tasks_; }
    SchedulerTick& tick() { return *tick_; }
    TrayController& tray() { return *tray_; }
    bool startedHidden() const { return startHidden_; }

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void wireButtons();
    void resetButtons(std::initializer_list<QWidget*> buttons);
    void applyStartAtLogin();
    void showTasksAfterStart();
    void end();

    MainDependencies deps_;
    MainControls c_;
    MainState state_;
    std::unique_ptr<SelectionController> selection_;
    std::unique_ptr<RunController> runs_;
    std::unique_ptr<TrayController> tray_;
    std::unique_ptr<TaskController> tasks_;
    std::unique_ptr<SchedulerTick> tick_;
    std::unique_ptr<SettingsStore> settingsStore_;
    bool startHidden_ = false;
    bool ended_ = false;
};

} // namespace tavelin::gui
