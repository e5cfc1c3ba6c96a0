#pragma once

#include <QObject>

namespace tavelin {
class Clock;
}

namespace tavelin::gui {

class RunController;
class SelectionController;
class TaskController;
struct MainControls;
struct MainState;

// The one-second tick: the two clocks, the update-rate check once a minute, the due tasks,
// and the hourly grid refresh.
class SchedulerTick : public QObject {
    Q_OBJECT
  public:
    SchedulerTick(MainControls& controls, MainState& state, SelectionController& selection,
                  RunController& runs, TaskController& tasks, const Clock& clock,
                  QObject* parent = nullptr);

    void tick();

  private:
    void intervalChanged();

    MainControls& c_;
    MainState& state_;
    SelectionController& selection_;
    RunController& runs_;
    TaskController& tasks_;
    const Clock& clock_;
};

} // namespace tavelin::gui
