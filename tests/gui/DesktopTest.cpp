// The desktop program as a person uses it: keyboard, texts that fit, the lock's look, a first
// start, Remove, the task dialog, the About links, and the program-level starts (help, no
// display, one program per user).
#include "gui/run/RunController.h"
#include "gui/selection/SelectionController.h"
#include "gui/shell/SingleInstance.h"
#include "gui/tasks/TaskController.h"
#include "gui/tasks/TaskHistory.h"
#include "gui/tasks/TaskInput.h"
#include "gui/tray/TrayController.h"
#include "gui/ui/DirList.h"
#include "gui/ui/FileList.h"
#include "gui/ui/FittingLabel.h"
#include "gui/ui/FrmAbout.h"
#include "gui/ui/ImageButton.h"
#include "gui/ui/LockPair.h"
#include "gui/ui/StatusLine.h"
#include "tests/gui/GuiFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

using namespace tavelin;
using namespace tavelin::test;

namespace {

void addTask(GuiFixture& f, const std::string& name, const std::string& source) {
    auto store = TaskStore::open(f.tree.path("db/tasks.db"));
    TaskRecord r;
    r.task_name = name;
    r.task_source = f.tree.path(source);
    r.task_destination = f.tree.path("out/" + name);
    r.task_interval = "00:15";
    QVERIFY(store && store->addTask(r, at("10.03.2026 09:00:00")));
}

void activate(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Unlocks, chooses the two folders and locks again, as a user does before Run.
void selectFolders(GuiFixture& f, const std::string& source, const std::string& destination) {
    f.window->selection().toggleLock();
    f.c().Dir1->setPath(QString::fromStdString(f.tree.path(source)));
    f.c().Dir2->setPath(QString::fromStdString(f.tree.path(destination)));
    f.window->selection().toggleLock();
}

// The text fits its box when it is no wider than the box's room.
bool fits(const QFont& font, const QString& text, int room) {
    return QFontMetrics(font).horizontalAdvance(text) <= room;
}

QProcess* startProgram(const QStringList& args, const QProcessEnvironment& env) {
    auto* p = new QProcess;
    p->setProcessEnvironment(env);
    p->start(TAVELIN_GUI_PATH, args);
    return p;
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

  private slots:
    void everyImageButtonTakesTheFocusAndActsOnSpaceOrEnter_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("enter") << int(Qt::Key_Return);
    }

    void everyImageButtonTakesTheFocusAndActsOnSpaceOrEnter() {
        QFETCH(int, key);
        GuiFixture f;
        f.window->startUp();
        auto& c = f.c();
        activate(f.window.get());
        for (QWidget* b :
             std::initializer_list<QWidget*>{c.cmdCount, c.lockPair, c.cmdRun, c.cmdClose, c.BSTask,
                                             c.BRemove, c.BInfo, c.BM, c.BX}) {
            QCOMPARE(b->focusPolicy(), Qt::StrongFocus);
        }
        // The focus shows: the button looks different with it.
        const QImage without = c.cmdCount->grab().toImage();
        c.cmdCount->setFocus();
        QTRY_VERIFY(c.cmdCount->hasFocus());
        QVERIFY(c.cmdCount->grab().toImage() != without);

        c.lockPair->setFocus();
        QTest::keyClick(c.lockPair, static_cast<Qt::Key>(key));
        QVERIFY(!f.window->selection().isLocked());
        QTest::keyClick(c.lockPair, static_cast<Qt::Key>(key));
        QVERIFY(f.window->selection().isLocked());

        c.Dir1->setPath(QString::fromStdString(f.tree.path("program")));
        c.cmdCount->setFocus();
        QTest::keyClick(c.cmdCount, static_cast<Qt::Key>(key));
        QTRY_VERIFY(!f.window->runs().busy());
        QCOMPARE(c.txtFiles->text(), QString("0"));
    }

    void tabReachesEveryControlInTheLayoutsOrderAndLeavesTheGrid() {
        GuiFixture f;
        f.window->startUp();
        addTask(f, "t", "program");
        f.window->tasks().refreshTaskGrid();
        auto& c = f.c();
        f.window->selection().toggleLock(); // unlocked: the selection controls take part
        c.UNCPathDestTrue->setChecked(true);
        activate(f.window.get());
        c.Drive1->setFocus();
        QStringList seen{c.Drive1->objectName()};
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* w = QApplication::focusWidget();
            // A combo box's line edit stands for the box.
            const QString name = w->objectName().isEmpty() && w->parentWidget() != nullptr
                                     ? w->parentWidget()->objectName()
                                     : w->objectName();
            if (name == c.Drive1->objectName()) {
                break;
            }
            seen << name;
        }
        const QStringList expected{
            "Drive1",   "Dir1",        "File1",         "cboFileTypes",    "txtFolders",
            "txtFiles", "txtSize",     "cboUpdateRate", "CheStart",        "optCopySubFolder",
            "cmdCount", "cmdLockPair", "cmdRun",        "cmdClose",        "BSTask",
            "BRemove",  "BInfo",       "MSHFlexGrid1",  "UNCPathDestTrue", "UNCDestination",
            "BM",       "BX"};
        QCOMPARE(seen, expected); // Drive2, Dir2 and File2 are hidden behind the typed path
    }

    void enterOpensAFolderAndTheGridIsChosenAndLoadedByKeys() {
        GuiFixture f;
        f.tree.mkdir("program/inner");
        f.tree.mkdir("first");
        f.tree.mkdir("second");
        f.window->startUp();
        addTask(f, "one", "first");
        addTask(f, "two", "second");
        f.window->tasks().refreshTaskGrid();
        auto& c = f.c();
        f.window->selection().toggleLock();
        activate(f.window.get());

        c.Dir1->setPath(QString::fromStdString(f.tree.path("program")));
        const auto items = c.Dir1->findItems("inner", Qt::MatchEndsWith);
        QVERIFY(!items.isEmpty());
        c.Dir1->setFocus();
        c.Dir1->setCurrentItem(items.front());
        QTest::keyClick(c.Dir1, Qt::Key_Return);
        QCOMPARE(c.Dir1->path(), QString::fromStdString(f.tree.path("program/inner")));

        c.MSHFlexGrid1->setFocus();
        c.MSHFlexGrid1->setCurrentCell(0, 0);
        QTest::keyClick(c.MSHFlexGrid1, Qt::Key_Down); // from "one" to "two"
        QCOMPARE(c.MSHFlexGrid1->currentRow(), 1);
        QTest::keyClick(c.MSHFlexGrid1, Qt::Key_Return);
        QCOMPARE(c.Dir1->path(), QString::fromStdString(f.tree.path("second")));
    }

    void textsFitTheirBoxes() {
        GuiFixture f;
        f.window->startUp();
        auto& c = f.c();
        c.txtFiles->setText("20010 of 20010");
        QVERIFY(fits(c.txtFiles->font(), c.txtFiles->text(), c.txtFiles->width() - 6));
        QCOMPARE(c.txtFiles->cursorPosition(), 0);

        auto* status = static_cast<gui::FittingLabel*>(c.lblStatus);
        status->setText("Last run @ 10.03.2026 10:00:00 -:- 20010 Files Scaned -:- 20010 Files "
                        "copied -:- Copy Size = 123456789012 Bytes -:- 3 Files failed");
        QVERIFY(fits(status->fittedFont(), status->text(), status->contentsRect().width()));

        for (const auto& [label, box] : {std::pair<QLabel*, QWidget*>{c.Label4, c.txtFolders},
                                         {c.Label5, c.txtFiles},
                                         {c.Label6, c.txtSize},
                                         {c.Label7, c.cboUpdateRate},
                                         {c.Label3, c.cboFileTypes}}) {
            QVERIFY2(label->x() + QFontMetrics(label->font()).horizontalAdvance(label->text()) <
                         box->x(),
                     qPrintable(label->objectName()));
        }

        addTask(f, "short", "program");
        f.window->tasks().refreshTaskGrid();
        const QFont header = c.MSHFlexGrid1->horizontalHeader()->font();
        QCOMPARE(c.MSHFlexGrid1->item(0, 0)->font().pointSizeF(), header.pointSizeF());
        // A cell without a font of its own is drawn in the grid's (smaller) one.
        const auto* date = c.MSHFlexGrid1->item(0, 4);
        const QFont dateFont =
            date->data(Qt::FontRole).isValid() ? date->font() : c.MSHFlexGrid1->font();
        QVERIFY(fits(dateFont, date->text(), c.MSHFlexGrid1->columnWidth(4)));
    }

    void theDestinationListShowsWhatARunCopied() {
        GuiFixture f;
        f.tree.write("src/a.txt", "a");
        f.tree.mkdir("dst");
        f.window->startUp();
        auto& c = f.c();
        selectFolders(f, "src", "dst");
        QCOMPARE(c.File2->count(), 0);
        f.window->runs().runButton();
        QTRY_VERIFY(!f.window->runs().busy());
        QTRY_COMPARE(c.File2->count(), 1);
        QCOMPARE(c.File2->item(0)->text(), QString("a.txt"));
    }

    void lockedAndUnlockedLookDifferent() {
        GuiFixture f;
        f.window->startUp();
        auto& c = f.c();
        const QString locked = c.Dir1->styleSheet();
        f.window->selection().toggleLock();
        QVERIFY(c.Dir1->styleSheet() != locked);
        QVERIFY(c.Dir1->styleSheet().contains("border"));
        f.window->selection().toggleLock();
        QCOMPARE(c.Dir1->styleSheet(), locked);
    }

    void aFirstStartOffersHomeAndAnotherDrive() {
        GuiFixture f;
        f.tree.mkdir("home/bob");
        f.homeFolder = QString::fromStdString(f.tree.path("home/bob"));
        f.make(false, QString());
        f.window->startUp();
        auto& c = f.c();
        QCOMPARE(c.Dir1->path(), f.homeFolder);
        QCOMPARE(c.Dir2->path(), QString::fromStdString(f.tree.path("usb")));
        // The drive boxes name the volumes of the folders shown.
        QCOMPARE(c.Drive1->currentText(), QString("/"));
        QCOMPARE(c.Drive2->currentText(), QString::fromStdString(f.tree.path("usb")));
        QVERIFY(c.Dir1->path() != c.Dir2->path());
    }

    void removeAsksOnlyForAChosenTaskWithNoAsTheDefault() {
        GuiFixture f;
        f.window->startUp();
        addTask(f, "keep", "program");
        f.window->tasks().refreshTaskGrid();
        auto& c = f.c();
        c.MSHFlexGrid1->setCurrentCell(-1, -1);
        f.window->tasks().removeSelectedTask();
        QVERIFY(f.messages.shown().isEmpty());
        c.MSHFlexGrid1->setCurrentCell(0, 0);
        f.messages.queueAnswer(gui::MessageBoxes::No);
        f.window->tasks().removeSelectedTask();
        QCOMPARE(f.messages.shown(),
                 QStringList{"Warning|Do you really want to delete this task? keep"});
        QCOMPARE(f.messages.lastDefaultButton(), int(gui::MessageBoxes::No));
        QCOMPARE(c.MSHFlexGrid1->rowCount(), 2);
    }

    void theTaskDialogHasALightFrame() {
        GuiFixture f;
        gui::TaskInput dialog(
            f.window.get(), [](const QString&, const gui::TaskOptions&) { return true; },
            [] { return false; }, [] {});
        // Its options show their whole text.
        for (QCheckBox* box :
             {dialog.catchUpBox(), dialog.onChangeBox(), dialog.keepVersionsBox()}) {
            QVERIFY2(fits(box->font(), box->text(), box->width() - 20), qPrintable(box->text()));
            QVERIFY(box->geometry().bottom() < dialog.height());
        }
        const QImage image = dialog.grab().toImage();
        for (const QPoint p : {QPoint(0, 0), QPoint(image.width() / 2, image.height() - 1)}) {
            QVERIFY2(qGray(image.pixel(p)) > 180,
                     qPrintable(QString("at %1,%2").arg(p.x()).arg(p.y())));
        }
    }

    void aboutLinksWithoutAHandlerSayWhereTheyLead() {
        GuiFixture f;
        gui::FrmAbout about(f.window.get(), "https://example.org/t", "help@example.org",
                            f.messages);
        about.setOpener([](const QUrl&) { return false; });
        about.openWebsite();
        about.openEmail();
        QCOMPARE(f.messages.shown().size(), 2);
        QVERIFY(f.messages.shown()[0].contains("https://example.org/t"));
        QVERIFY(f.messages.shown()[1].contains("help@example.org"));
        about.setOpener([](const QUrl&) { return true; });
        about.openWebsite();
        QCOMPARE(f.messages.shown().size(), 2);
    }

    // A task row's menu: Run now records a manual run, History shows the runs and their
    // failures, Remove asks as the button does.
    void taskMenuRunsShowsHistoryAndRemoves() {
        GuiFixture f;
        f.tree.write("docs/a.txt", "a");
        f.tree.write("docs/b.txt", "b");
        f.tree.mkdir("out/docs/b.txt/in-the-way");
        f.window->startUp();
        addTask(f, "docs", "docs");
        f.window->tasks().refreshTaskGrid();
        QVERIFY(f.window->tasks().taskMenu(1) == nullptr); // an empty row has no menu
        std::unique_ptr<QMenu> menu(f.window->tasks().taskMenu(0));
        QVERIFY(menu != nullptr);
        QStringList texts;
        for (QAction* a : menu->actions()) {
            texts << a->text();
        }
        QCOMPARE(texts, (QStringList{"Run now", "History\u2026", "Remove"}));

        menu->actions()[0]->trigger();
        QTRY_VERIFY(!f.window->runs().busy());
        QTRY_COMPARE(f.tree.read("out/docs/a.txt"), std::string("a"));

        int shown = 0;
        f.window->tasks().setHistoryRunner([&](gui::TaskHistory& h) {
            ++shown;
            [&] {
                const auto* m = h.runsTable()->model();
                QCOMPARE(m->rowCount(), 1);
                QCOMPARE(m->index(0, 1).data().toString(), QString("manual"));
                QCOMPARE(m->index(0, 2).data().toString(), QString("Failed"));
                QCOMPARE(m->index(0, 5).data().toString(), QString("1"));
                QCOMPARE(h.failuresList()->count(), 1);
                QVERIFY(h.failuresList()->item(0)->text().contains("a folder is in the way"));
            }();
            return 0;
        });
        menu->actions()[1]->trigger();
        QCOMPARE(shown, 1);

        f.messages.queueAnswer(gui::MessageBoxes::Yes);
        menu->actions()[2]->trigger();
        QCOMPARE(f.messages.shown(),
                 QStringList{"Warning|Do you really want to delete this task? docs"});
        QVERIFY(!(*TaskStore::open(f.tree.path("db/tasks.db"))->findTask("docs")).has_value());
    }

    // The window's own run that failed for some files says so after its summary.
    void aFailedRunIsNeverShownAsAPlainResult() {
        GuiFixture f;
        f.tree.write("src/a.txt", "a");
        f.tree.write("src/b.txt", "b");
        f.tree.mkdir("dst/b.txt/in-the-way");
        f.window->startUp();
        auto& c = f.c();
        selectFolders(f, "src", "dst");
        f.window->runs().runButton();
        QTRY_VERIFY(!f.window->runs().busy());
        QVERIFY2(c.lblStatus->text().endsWith("-:- 1 Files copied -:- Copy Size = 1 Bytes -:- 1 "
                                              "Files failed"),
                 qPrintable(c.lblStatus->text()));
        QVERIFY(f.window->tray().lastNotice().contains("a folder is in the way"));
    }

    void theStartupBoxSaysRunAtStartup() {
        GuiFixture f;
        QCOMPARE(f.c().CheStart->text(), QString("Run at startup"));
    }

    // The window is placed on the usable area whatever the scale (run with QT_SCALE_FACTOR=2).
    void theWindowLiesOnTheScreen() {
        GuiFixture f;
        f.window->startUp();
        f.window->showAfterLoad();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(f.window->x() >= area.left() && f.window->y() >= area.top(),
                 qPrintable(QString("at %1,%2 on %3x%4")
                                .arg(f.window->x())
                                .arg(f.window->y())
                                .arg(area.width())
                                .arg(area.height())));
    }

    void helpAndNoDisplayAreOneClearAnswer_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("--help") << QStringList{"--help"} << "" << 0 << "tavelin-cli serve"
                                << "";
        QTest::newRow("-h") << QStringList{"-h"} << "" << 0 << "-min"
                            << "";
        QTest::newRow("no display") << QStringList{} << "" << 1 << ""
                                    << "tavelin: no display to show the window on; use "
                                       "'tavelin-cli serve' to run the tasks headless\n";
        QTest::newRow("a display that cannot be opened")
            << QStringList{} << ":987" << 1 << ""
            << "tavelin: no display to show the window on; use 'tavelin-cli serve' to run the "
               "tasks headless\n";
    }

    void helpAndNoDisplayAreOneClearAnswer() {
        QFETCH(QStringList, args);
        QFETCH(QString, display);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        TempTree tree;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            env.remove(name);
        }
        if (!display.isEmpty()) {
            env.insert("DISPLAY", display);
        }
        env.insert("HOME", QString::fromStdString(tree.root()));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(tree.root()));
        std::unique_ptr<QProcess> p(startProgram(args, env));
        QVERIFY(p->waitForFinished(10000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), status);
        const QString stdOut = QString::fromUtf8(p->readAllStandardOutput());
        const QString stdErr = QString::fromUtf8(p->readAllStandardError());
        QVERIFY2(stdOut.contains(out), qPrintable(stdOut));
        if (err.isEmpty()) {
            QCOMPARE(stdErr, QString());
        } else {
            QCOMPARE(stdErr, err);
        }
    }

    // A second start hands its wish to the first program and ends at once.
    void aSecondStartBringsTheFirstWindowForward_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("shows");
        QTest::newRow("plain start") << QStringList{} << 1;
        QTest::newRow("-min") << QStringList{"-min"} << 0;
    }

    void aSecondStartBringsTheFirstWindowForward() {
        QFETCH(QStringList, args);
        QFETCH(int, shows);
        TempTree tree;
        const QString runtime = QString::fromStdString(tree.root());
        gui::SingleInstance first(runtime);
        QVERIFY(first.claim(true));
        QSignalSpy spy(&first, &gui::SingleInstance::showRequested);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("HOME", runtime);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        std::unique_ptr<QProcess> second(startProgram(args, env));
        QTRY_VERIFY_WITH_TIMEOUT(second->state() == QProcess::NotRunning, 10000);
        QCOMPARE(second->exitCode(), 0);
        if (shows > 0) {
            QTRY_COMPARE(spy.count(), shows);
        } else {
            QTest::qWait(300);
            QCOMPARE(spy.count(), 0);
        }
        QVERIFY(!QFile::exists(runtime + "/.config/Tavelin/Tavelin.conf")); // no second window
    }
};

QTEST_MAIN(DesktopTest)
#include "DesktopTest.moc"
