#pragma once

#include "gui/selection/MainState.h"
#include "gui/shell/MainDependencies.h"
#include "gui/ui/MainControls.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

namespace tavelin::gui {

class RunController;
class SchedulerTick;
class SelectionController;
class SettingsStore;
class TaskController;
class TrayController;

// The one long-lived window. It builds its controls and hands the work to its controllers.
class FrmMain : public QWidget {
    Q_OBJECT
  public:
    explicit FrmMain(MainDependencies deps);
    ~FrmMain() override;

    // Before the window shows: tray icon, "-min", drive positions, the two lists, read-only
    // boxes, remembered settings, the hour, and the tasks' start-up rescheduling.
    void startUp();
    // Shows the window unless started with "-min".
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
