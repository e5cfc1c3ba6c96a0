#include "gui/scheduler/SchedulerTick.h"

#include "core/tasks/UpdateRates.h"
#include "core/util/Clock.h"
#include "gui/run/RunController.h"
#include "gui/selection/MainState.h"
#include "gui/selection/SelectionController.h"
#include "gui/tasks/TaskController.h"
#include "gui/ui/MainControls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

namespace tavelin::gui {

SchedulerTick::SchedulerTick(MainControls& controls, MainState& state,
                             SelectionController& selection, RunController& runs,
                             TaskController& tasks, const Clock& clock, QObject* parent)
    : QObject(parent), c_(controls), state_(state), selection_(selection), runs_(runs),
      tasks_(tasks), clock_(clock) {
    connect(c_.Timer1, &QTimer::timeout, this, &SchedulerTick::tick);
    connect(c_.txtTimer, &QLineEdit::textChanged, this, &SchedulerTick::intervalChanged);
}

void SchedulerTick::tick() {
    c_.txtTimer->setText(QString::fromStdString(clock_.now().clockText()));
    c_.txtTimer2->setText(QString::fromStdString(clock_.now().display()));
    tasks_.runDueTasks();
    const QString hour = QString::fromStdString(clock_.now().hourText());
    if (hour != state_.lastHour) {
        state_.lastHour = hour;
        tasks_.refreshTaskGrid();
    }
}

void SchedulerTick::intervalChanged() {
    if (!selection_.isLocked()) {
        return;
    }
    if (UpdateRates::isRunMinute(c_.cboUpdateRate->currentText().toStdString(),
                                 c_.txtTimer->text().toStdString())) {
        runs_.runCopy();
    }
}

} // namespace tavelin::gui
