#include "gui/shell/FrmMain.h"

#include "core/tasks/UpdateRates.h"
#include "core/util/Clock.h"
#include "gui/run/RunController.h"
#include "gui/scheduler/SchedulerTick.h"
#include "gui/selection/SelectionController.h"
#include "gui/shell/SettingsStore.h"
#include "gui/tasks/TaskController.h"
#include "gui/tray/TrayController.h"
#include "gui/ui/DirList.h"
#include "gui/ui/FileList.h"
#include "gui/ui/FrmAbout.h"
#include "gui/ui/ImageButton.h"
#include "gui/ui/LockPair.h"
#include "gui/ui/MainWindowLayout.h"
#include "gui/ui/MessageBoxes.h"
#include "gui/ui/Skin.h"
#include "gui/ui/Surface.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

namespace tavelin::gui {

FrmMain::FrmMain(MainDependencies deps)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), deps_(std::move(deps)) {
    setObjectName("FrmMain");
    setWindowTitle("Tavelin");
    setWindowIcon(QIcon(Skin::icon(32)));
    c_ = MainWindowLayout::build(this);
    deps_.messages.setParent(this);

    selection_ = std::make_unique<SelectionController>(c_, state_, deps_.volumes, deps_.messages);
    selection_->fillDrives();
    runs_ = std::make_unique<RunController>(c_, state_, *selection_, deps_.volumes, deps_.clock,
                                            deps_.messages, deps_.databasePath,
                                            deps_.volumeIdentity, deps_.fileOps);
    tray_ = std::make_unique<TrayController>(deps_.trayAvailable);
    tasks_ = std::make_unique<TaskController>(c_, *selection_, *runs_, *tray_, deps_.messages,
                                              deps_.clock, deps_.databasePath, deps_.volumeIdentity,
                                              this);
    tick_ = std::make_unique<SchedulerTick>(c_, state_, *selection_, *runs_, *tasks_, deps_.clock);
    settingsStore_ = std::make_unique<SettingsStore>(deps_.settings, c_, state_);

    connect(tray_.get(), &TrayController::showRequested, this, &FrmMain::showFromTray);
    connect(tray_.get(), &TrayController::exitRequested, this, &FrmMain::exitProgram);
    connect(c_.CheStart, &QCheckBox::toggled, this, &FrmMain::applyStartAtLogin);
    connect(c_.Timer2, &QTimer::timeout, this, &FrmMain::showTasksAfterStart);
    connect(runs_.get(), &RunController::runEnded, c_.File2, &FileList::refresh);
    // The session ending takes the program down like a system close.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!ended_) {
            settingsStore_->saveSettings();
            end();
        }
    });
    wireButtons();
    c_.Timer1->start();
    c_.Timer2->start();
}

FrmMain::~FrmMain() {
    runs_->stopAndWait();
}

void FrmMain::startUp() {
    tray_->addTrayIcon(windowIcon());
    startHidden_ = deps_.arguments == "-min";
    state_.LastDrive1Index = c_.Drive1->currentIndex();
    state_.LastDrive2Index = c_.Drive2->currentIndex();
    c_.cboUpdateRate->clear();
    for (const auto& row : UpdateRates::updateRates()) {
        c_.cboUpdateRate->addItem(QString::fromStdString(row));
    }
    c_.cboUpdateRate->setCurrentIndex(0);
    selection_->fillFileTypes();
    c_.txtTimer->setReadOnly(true);
    c_.txtFiles->setReadOnly(true);
    c_.txtFolders->setReadOnly(true);
    // A first start offers the home folder as the source and another drive (else the home
    // folder) as the destination; never the program's own folder on both sides.
    const QString home = deps_.homeFolder.isEmpty() ? QDir::homePath() : deps_.homeFolder;
    settingsStore_->loadSettings(home, selection_->firstOtherVolume(home));
    state_.lastHour = QString::fromStdString(deps_.clock.now().hourText());
    tasks_->rescheduleTasks();
}

void FrmMain::showAfterLoad() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // Centred, and never with its top-left off the usable area (a scaled display may be
        // smaller than the window).
        const QRect area = screen->availableGeometry();
        QPoint at = area.center() - rect().center();
        at.setX(std::max(at.x(), area.left()));
        at.setY(std::max(at.y(), area.top()));
        move(at);
    }
    if (!startHidden_) {
        show();
    } else if (!tray_->available()) {
        showMinimized();
    }
}

void FrmMain::showTasksAfterStart() {
    c_.Timer2->stop();
    QCoreApplication::processEvents();
    tasks_->refreshTaskGrid();
}

void FrmMain::showFromTray() {
    showNormal();
    raise();
    activateWindow();
}

void FrmMain::hideWindow() {
    if (tray_->available()) {
        hide();
    } else {
        // Without a notification area a hidden window could never come back.
        showMinimized();
    }
}

void FrmMain::saveSettings() {
    settingsStore_->saveSettings();
}

void FrmMain::exitProgram() {
    if (ended_) {
        return;
    }
    settingsStore_->saveSettings();
    end();
    deps_.quit();
}

void FrmMain::end() {
    ended_ = true;
    tray_->removeTrayIcon();
    runs_->stopAndWait();
}

void FrmMain::closeEvent(QCloseEvent* e) {
    // Closed by the window manager or the session: save once, then end.
    exitProgram();
    e->accept();
}

void FrmMain::showAbout() {
    FrmAbout about(this, deps_.website, deps_.email, deps_.messages);
    about.exec();
}

void FrmMain::applyStartAtLogin() {
    // Failures report nothing; the box still shows the user's choice.
    if (c_.CheStart->isChecked()) {
        (void)deps_.autostart.add(deps_.programPath.toStdString());
    } else {
        (void)deps_.autostart.remove();
    }
}

void FrmMain::resetButtons(std::initializer_list<QWidget*> buttons) {
    for (QWidget* b : buttons) {
        if (b == c_.lockPair) {
            c_.lockPair->toRest(!selection_->isLocked());
        } else {
            static_cast<ImageButton*>(b)->toRest();
        }
    }
}

void FrmMain::wireButtons() {
    auto* pair = c_.lockPair;
    const auto reset = [this](std::initializer_list<QWidget*> set) {
        std::vector<QWidget*> copy(set);
        return [this, copy] {
            for (QWidget* b : copy) {
                resetButtons({b});
            }
        };
    };
    // Buttons that act on the press.
    const auto onPress = [&](ImageButton* b, std::initializer_list<QWidget*> set,
                             std::function<void()> action) {
        auto r = reset(set);
        connect(b, &ImageButton::hovered, this, r);
        connect(b, &ImageButton::pressedDown, this, [r, action] {
            r();
            action();
        });
        connect(b, &ImageButton::releasedUp, this, r);
    };
    onPress(c_.cmdCount, {pair, c_.cmdRun, c_.cmdClose}, [this] { runs_->countButton(); });
    onPress(c_.cmdRun, {c_.cmdCount, pair, c_.cmdClose}, [this] { runs_->runButton(); });
    onPress(c_.cmdClose, {c_.cmdCount, pair, c_.cmdRun}, [this] { hideWindow(); });

    // Buttons that act on the release.
    connect(c_.BM, &ImageButton::releasedUp, this, &FrmMain::hideWindow);
    connect(c_.BX, &ImageButton::releasedUp, this, &FrmMain::exitProgram);
    connect(c_.BInfo, &ImageButton::releasedUp, this, &FrmMain::showAbout);
    connect(c_.BSTask, &ImageButton::hovered, this, reset({c_.BRemove}));
    connect(c_.BRemove, &ImageButton::hovered, this, reset({c_.BSTask}));
    connect(c_.BSTask, &ImageButton::releasedUp, this, [this] { tasks_->saveSelectionAsTask(); });
    connect(c_.BRemove, &ImageButton::releasedUp, this, [this] { tasks_->removeSelectedTask(); });

    // The lock pair sets its own pictures, then the toggle runs.
    const auto pairSet = reset({c_.cmdCount, c_.cmdRun, c_.cmdClose});
    connect(pair, &LockPair::hovered, this, pairSet);
    connect(pair, &LockPair::toggleRequested, this, [this, pairSet] {
        pairSet();
        selection_->toggleLock();
    });
    connect(pair, &LockPair::releasedUp, this, pairSet);

    // Surfaces put their buttons to rest.
    connect(c_.Background, &Surface::crossed, this,
            reset({c_.BX, c_.BM, c_.cmdCount, pair, c_.cmdRun, c_.cmdClose, c_.BSTask, c_.BRemove,
                   c_.BInfo}));
    for (Surface* panel : {c_.Image1, c_.Image2}) {
        connect(panel, &Surface::crossed, this, reset({c_.cmdCount, c_.cmdRun, c_.cmdClose, pair}));
    }
    connect(c_.Image3, &Surface::crossed, this, reset({c_.BSTask, c_.BRemove}));
    connect(c_.Image4, &Surface::crossed, this, reset({c_.BInfo}));
}

} // namespace tavelin::gui
