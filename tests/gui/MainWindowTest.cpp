#include "gui/run/RunController.h"
#include "gui/scheduler/SchedulerTick.h"
#include "gui/selection/SelectionController.h"
#include "gui/ui/DirList.h"
#include "gui/ui/FileList.h"
#include "gui/ui/ImageButton.h"
#include "gui/ui/LockPair.h"
#include "gui/ui/ProgressCntrl.h"
#include "gui/ui/StatusLine.h"
#include "gui/ui/Surface.h"
#include "tests/gui/GuiFixture.h"
#include "tests/gui/MouseEvents.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace tavelin;
using namespace tavelin::test;

namespace {

QList<QWidget*> frozen(gui::MainControls& c) {
    return QList<QWidget*>{c.cboFileTypes, c.Dir1,  c.File1,  c.Drive1,
                           c.Dir2,         c.File2, c.Drive2, c.optCopySubFolder,
                           c.cboUpdateRate};
}

// As a pointer does: across the panel (which puts the pair to rest), onto the pair, click.
void pressLockPair(gui::MainControls& c) {
    hover(c.Image1);
    hover(c.lockPair);
    press(c.lockPair);
    release(c.lockPair);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void lockToggle() {
        GuiFixture f;
        f.window->startUp();
        auto& c = f.c();
        for (QWidget* w : frozen(c)) {
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        }
        QCOMPARE(c.lockPair->top(), QString("cmdUnlockNormal"));
        QVERIFY(!f.window->state().countBlocked);
        QVERIFY(c.UNCPathDestTrue->isEnabled() && c.UNCDestination->isEnabled());

        pressLockPair(c); // Unlock
        for (QWidget* w : frozen(c)) {
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        }
        QVERIFY(f.window->state().countBlocked);
        QCOMPARE(c.lockPair->top(), QString("cmdLockDown"));
        hover(c.Image1);
        QCOMPARE(c.lockPair->top(), QString("cmdLockNormal"));

        pressLockPair(c); // Lock
        QVERIFY(!c.Dir1->isEnabled());
        QVERIFY(!f.window->state().countBlocked);
        hover(c.Background);
        QCOMPARE(c.lockPair->top(), QString("cmdUnlockNormal"));
    }

    void resetSets() {
        GuiFixture f;
        f.window->startUp();
        auto& c = f.c();
        hover(c.cmdCount);
        QCOMPARE(c.cmdCount->state(), gui::ImageButton::State::Hover);
        hover(c.cmdRun); // moving straight on: the neighbour goes back to rest
        QCOMPARE(c.cmdCount->state(), gui::ImageButton::State::Rest);
        QCOMPARE(c.cmdRun->state(), gui::ImageButton::State::Hover);
        hover(c.BSTask);
        hover(c.Image3); // the task panel rests only its own buttons
        QCOMPARE(c.BSTask->state(), gui::ImageButton::State::Rest);
        QCOMPARE(c.cmdRun->state(), gui::ImageButton::State::Hover);
        hover(c.BInfo);
        hover(c.Background);
        for (auto* b : {c.cmdRun, c.BInfo, c.BX, c.BM}) {
            QCOMPARE(b->state(), gui::ImageButton::State::Rest);
        }
        // BX ends the program on the release, even off the button.
        hover(c.BX);
        press(c.BX);
        QCOMPARE(f.quits, 0);
        release(c.BX);
        QCOMPARE(f.quits, 1);
    }

    void settingsDefaults() {
        GuiFixture f;
        f.window->startUp();
        auto& c = f.c();
        // The home folder (here the program's) and another drive; each drive box names the
        // volume of the folder its list shows.
        QCOMPARE(c.Dir1->path(), QString::fromStdString(f.tree.path("program")));
        QCOMPARE(c.Dir2->path(), QString::fromStdString(f.tree.path("usb")));
        QCOMPARE(c.Drive1->currentIndex(), 0);
        QCOMPARE(c.Drive2->currentIndex(), 1);
        QCOMPARE(c.cboUpdateRate->currentText(), QString("No Auto"));
        QCOMPARE(c.cboUpdateRate->count(), 28);
        QCOMPARE(c.cboFileTypes->currentText(), QString("*.*"));
        QVERIFY(!c.optCopySubFolder->isChecked());
        QVERIFY(!c.UNCPathDestTrue->isChecked());
        QVERIFY(c.CheStart->isChecked());
        const std::string entry = f.tree.read("config/autostart/Tavelin.desktop");
        QVERIFY(entry.find("Exec=" + f.tree.path("program/tavelin")) != std::string::npos);
        QVERIFY(c.txtTimer->isReadOnly() && c.txtFiles->isReadOnly() && c.txtFolders->isReadOnly());
        QVERIFY(!c.txtSize->isReadOnly());
    }

    void settingsRoundTrip() {
        GuiFixture f;
        f.tree.mkdir("usb/docs");
        f.window->startUp();
        auto& c = f.c();
        pressLockPair(c);
        c.Drive1->setCurrentIndex(2);
        c.Dir1->setPath(QString::fromStdString(f.tree.path("usb/docs")));
        c.cboUpdateRate->setCurrentIndex(3);
        c.optCopySubFolder->setChecked(true);
        c.CheStart->setChecked(false);
        QVERIFY(!f.tree.exists("config/autostart/Tavelin.desktop"));
        c.UNCPathDestTrue->setChecked(true);
        c.UNCDestination->setText("//server/share/backup");
        f.window->exitProgram();
        f.window->exitProgram(); // saved once per exit
        QCOMPARE(f.quits, 1);

        f.make(false, QString());
        f.window->startUp();
        auto& d = f.c();
        QCOMPARE(d.Drive1->currentIndex(), 1); // the volume of usb/docs, where the list went
        QCOMPARE(d.Dir1->path(), QString::fromStdString(f.tree.path("usb/docs")));
        QCOMPARE(d.cboUpdateRate->currentText(), QString("1  hrs"));
        QVERIFY(d.optCopySubFolder->isChecked());
        QVERIFY(!d.CheStart->isChecked());
        QVERIFY(!f.tree.exists("config/autostart/Tavelin.desktop"));
        QVERIFY(d.UNCPathDestTrue->isChecked());
        QVERIFY(!d.UNCDestination->isHidden() && d.Dir2->isHidden() && d.Drive2->isHidden());
        QCOMPARE(d.UNCDestination->text(), QString("//server/share/backup"));
        QVERIFY(!d.Dir1->isEnabled()); // every start is locked
    }

    // A daily time typed into the update box is no row of the list; it is remembered too.
    void typedDailyTimeIsRemembered() {
        GuiFixture f;
        f.window->startUp();
        f.c().cboUpdateRate->setEditText("07:30");
        f.window->exitProgram();
        f.make(false, QString());
        f.window->startUp();
        QCOMPARE(f.c().cboUpdateRate->currentText(), QString("07:30"));
        // A picked rate afterwards replaces it.
        f.c().cboUpdateRate->setCurrentIndex(3);
        f.window->exitProgram();
        f.make(false, QString());
        f.window->startUp();
        QCOMPARE(f.c().cboUpdateRate->currentText(), QString("1  hrs"));
    }

    void unapplicableSettingsKeepTheControlAndLoadingGoesOn() {
        GuiFixture f;
        f.settings.beginGroup("Defaults");
        f.settings.setValue("Drive1Index", "9");
        f.settings.setValue("Dir1Path", "/no/such/folder");
        f.settings.setValue("cboUpdateRateIndex", "abc");
        f.settings.setValue("optCopySubFolderValue", "70000");
        f.settings.setValue("AutoStartUp", "0");
        f.settings.setValue("UNCDestination", "//still/loaded");
        f.settings.endGroup();
        f.window->startUp();
        auto& c = f.c();
        QCOMPARE(c.Drive1->currentIndex(), 0);
        QCOMPARE(c.Dir1->path(), QString("/"));
        QCOMPARE(c.cboUpdateRate->currentText(), QString("No Auto"));
        QVERIFY(!c.optCopySubFolder->isChecked());
        QVERIFY(!c.CheStart->isChecked());
        QVERIFY(!f.tree.exists("config/autostart/Tavelin.desktop"));
        QCOMPARE(c.UNCDestination->text(), QString("//still/loaded"));
    }

    void driveNotAvailable() {
        GuiFixture f;
        f.settings.setValue("Defaults/Drive1Index", "0");
        f.settings.setValue("Defaults/Drive2Index", "0");
        f.settings.setValue("Defaults/Dir2Path", QString::fromStdString(f.tree.path("program")));
        f.window->startUp();
        auto& c = f.c();
        pressLockPair(c);
        const QString before = c.Dir1->path();
        f.volumes.unavailable = {f.tree.path("usb")};

        // Retry while not ready, then Cancel: back to the last drive that worked.
        f.messages.queueAnswer(gui::MessageBoxes::Retry);
        f.messages.queueAnswer(gui::MessageBoxes::Cancel);
        c.Drive1->setCurrentIndex(1);
        QCOMPARE(f.messages.shown(), (QStringList{"Selecting Drive|drive is not available",
                                                  "Selecting Drive|drive is not available"}));
        QCOMPARE(c.Drive1->currentIndex(), 0);
        QCOMPARE(c.Dir1->path(), before);
        QCOMPARE(f.window->state().LastDrive1Index, 0);

        // The destination side says it with a capital D; Retry once the medium is in.
        f.messages.clearShown();
        f.volumes.notReadyChecks = 1;
        f.messages.queueAnswer(gui::MessageBoxes::Retry);
        c.Drive2->setCurrentIndex(1);
        QCOMPARE(f.messages.shown(), QStringList{"Selecting Drive|Drive is not available"});
        QCOMPARE(c.Dir2->path(), QString::fromStdString(f.tree.path("usb")));
        QCOMPARE(f.window->state().LastDrive2Index, 1);
    }

    // Which minutes run which rate is the core's rule (tested there); here, that the tick asks
    // it once a minute and only while the selection is locked.
    void updateRateCheck_data() {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<bool>("runs");
        QTest::newRow("15 Min at 10:15") << "15 Min"
                                         << "10.03.2026 10:15:00" << false << true;
        QTest::newRow("15 Min at 10:16") << "15 Min"
                                         << "10.03.2026 10:16:00" << false << false;
        QTest::newRow("unlocked at 10:15") << "15 Min"
                                           << "10.03.2026 10:15:00" << true << false;
    }

    void updateRateCheck() {
        QFETCH(QString, rate);
        QFETCH(QString, time);
        QFETCH(bool, unlocked);
        QFETCH(bool, runs);
        GuiFixture f;
        f.window->startUp();
        auto& c = f.c();
        c.cboUpdateRate->setEditText(rate);
        if (unlocked) {
            pressLockPair(c);
        }
        f.clock.set(at(time.toLatin1().constData()));
        f.window->tick().tick();
        QCOMPARE(c.txtTimer->text(), time.mid(11, 5));
        QCOMPARE(c.txtTimer2->text(), time);
        QCOMPARE(f.window->runs().busy(), runs);
        QTRY_VERIFY(!f.window->runs().busy());
        // The same minute again is no change of the clock box: no second run.
        f.clock.advance(1);
        f.window->tick().tick();
        QVERIFY(!f.window->runs().busy());
    }

    void countAndRun() {
        GuiFixture f;
        f.tree.write("src/a.txt", std::string(100, 'a'));
        f.tree.write("src/b.txt", std::string(200, 'b'));
        f.tree.write("src/c.txt", std::string(300, 'c'));
        f.tree.write("src/sub/d.txt", std::string(10, 'd'));
        f.tree.write("src/sub/e.pdf", std::string(20, 'e'));
        const int fd = ::open(f.tree.path("src/sub/big.txt").c_str(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0 && ::ftruncate(fd, 1'234'000) == 0);
        ::close(fd);
        f.window->startUp();
        auto& c = f.c();
        pressLockPair(c);
        c.Dir1->setPath(QString::fromStdString(f.tree.path("src")));
        c.Dir2->setPath(QString::fromStdString(f.tree.path("disk")));
        c.cboFileTypes->setEditText("*.txt");
        c.optCopySubFolder->setChecked(true);

        c.cmdRun->setFocus();
        f.window->runs().runButton(); // unlocked
        QCOMPARE(f.messages.shown(), QStringList{"Tavelin|Click Lock to continue"});
        f.window->runs().countButton(); // countBlocked while unlocked
        QVERIFY(!f.window->runs().busy());

        pressLockPair(c);
        f.window->runs().countButton();
        QTRY_VERIFY(!f.window->runs().busy());
        QCOMPARE(c.txtFiles->text(), QString("5"));
        QCOMPARE(c.txtFolders->text(), QString("1"));
        QCOMPARE(c.txtSize->text(), QString("1,234,610"));
        QCOMPARE(c.proFiles->maximum(), 5);
        QCOMPARE(c.proFolders->maximum(), 1);
        QCOMPARE(c.proSize->maximum(), 1'234'610);
        QCOMPARE(c.lblStatus->text(), QString(" "));

        f.window->runs().runButton();
        QVERIFY(f.window->state().countBlocked);
        QTRY_VERIFY(!f.window->runs().busy());
        QVERIFY(!f.window->state().countBlocked);
        QCOMPARE(c.txtFiles->text(), QString("5 of 5"));
        QCOMPARE(c.txtFolders->text(), QString("1 of 1"));
        QCOMPARE(c.proSize->caption(), QString("1234610"));
        QCOMPARE(c.lblStatus->text(),
                 QString("Last run @ 10.03.2026 10:00:00 -:- 5 Files Scaned -:- 5 Files copied "
                         "-:- Copy Size = 1234610 Bytes"));
        // "disk" is a volume's root folder: the source folder's name is recreated there.
        QCOMPARE(f.tree.read("disk/src/sub/d.txt"), std::string(10, 'd'));

        // Nothing newer: nothing copied, the caption shows this run's bytes (0).
        f.window->runs().runButton();
        QTRY_VERIFY(!f.window->runs().busy());
        QVERIFY(c.lblStatus->text().endsWith(
            "-:- 5 Files Scaned -:- 0 Files copied -:- Copy Size = 0 Bytes"));
    }

    void noRunInsideARun() {
        GuiFixture f;
        SlowOps slow(150);
        f.fileOps = &slow;
        f.make(false, QString());
        f.tree.write("src/a.txt", "a");
        f.tree.write("src/b.txt", "b");
        f.window->startUp();
        auto& c = f.c();
        pressLockPair(c);
        c.Dir1->setPath(QString::fromStdString(f.tree.path("src")));
        c.Dir2->setPath(QString::fromStdString(f.tree.path("disk")));
        c.cboUpdateRate->setCurrentIndex(1); // 15 Min
        pressLockPair(c);

        f.window->runs().runButton();
        QVERIFY(f.window->runs().busy());
        f.window->runs().runButton(); // a press during a run does nothing
        f.clock.set(at("10.03.2026 10:15:00"));
        f.window->tick().tick(); // the update rate matches during the run: it waits
        f.window->tick().tick();
        // The first run copies both files, then the waiting one runs (nothing left to copy).
        QTRY_VERIFY_WITH_TIMEOUT(c.lblStatus->text().contains("0 Files copied"), 5000);
        QTRY_VERIFY(!f.window->runs().busy());
        QCOMPARE(f.tree.list("disk/src"), std::string("a.txt b.txt"));
    }

    void hidingWithAndWithoutANotificationArea() {
        GuiFixture withTray(true);
        withTray.window->startUp();
        withTray.window->showAfterLoad();
        withTray.window->hideWindow();
        QVERIFY(withTray.window->isHidden());
        withTray.window->showFromTray();
        QVERIFY(withTray.window->isVisible());

        GuiFixture noTray(false);
        noTray.window->startUp();
        noTray.window->showAfterLoad();
        noTray.window->hideWindow();
        QVERIFY(noTray.window->isMinimized());

        GuiFixture minimised(true, "-min");
        minimised.window->startUp();
        minimised.window->showAfterLoad();
        QVERIFY(minimised.window->startedHidden());
        QVERIFY(minimised.window->isHidden());
        GuiFixture notMin(true, "-MIN");
        notMin.window->startUp();
        QVERIFY(!notMin.window->startedHidden());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
