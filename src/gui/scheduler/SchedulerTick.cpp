#include "scheduler/SchedulerTick.h"

#include "copy/RunController.h"
#include "shell/MainState.h"
#include "shell/SelectionController.h"
#include "tasks/TaskController.h"
#include "tasks/UpdateRates.h"
#include "ui/MainControls.h"
#include "util/Clock.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

namespace tavelin::gui {

SchedulerTick::SchedulerTick(MainControls& controls, MainState& state,
                             SelectionController& selection, RunController& runs,
                             TaskController& tasks, const Clock& clock, QObject* parent)
    : QObject(parent), c_(controls), state_(state), selection_(selection), runs_(runs),
      tasks_(tasks), clock_(clock) {
    connect(c_.Timer1, &QTimer::timeout, this, &SchedulerTick::Timer1_Timer);
    connect(c_.txtTimer, &QLineEdit::textChanged, this, &SchedulerTick::txtTimer_Change);
}

void SchedulerTick::Timer1_Timer() {
    c_.txtTimer->setText(QString::fromStdString(clock_.now().clockText()));
    c_.txtTimer2->setText(QString::fromStdString(clock_.now().display()));
    tasks_.runDueTasks();
    const QString hour = QString::fromStdString(clock_.now().hourText());
    if (hour != state_.lastHour) {
        state_.lastHour = hour;
        tasks_.showFlexGrid1();
    }
}

void SchedulerTick::txtTimer_Change() {
    if (!selection_.isLocked()) {
        return;
    }
    if (UpdateRates::isRunMinute(c_.cboUpdateRate->currentText().toStdString(),
                                 c_.txtTimer->text().toStdString())) {
        runs_.RunCopy();
    }
}

} // namespace tavelin::gui
