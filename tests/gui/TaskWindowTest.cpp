#include "core/tasks/TaskStore.h"
#include "gui/run/RunController.h"
#include "gui/scheduler/SchedulerTick.h"
#include "gui/tasks/TaskController.h"
#include "gui/tasks/TaskInput.h"
#include "gui/tray/TrayController.h"
#include "gui/ui/DirList.h"
#include "gui/ui/FrmAbout.h"
#include "gui/ui/StatusLine.h"
#include "tests/gui/GuiFixture.h"
#include "tests/gui/MouseEvents.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>
#include <thread>

using namespace tavelin;
using namespace tavelin::test;

namespace {

// A second connection to the window's task file, as tavelin-cli would have.
TaskStore otherStore(GuiFixture& f) {
    auto s = TaskStore::open(f.tree.path("db/tasks.db"));
    if (!s) {
        qFatal("%s", s.error().message.c_str());
    }
    return std::move(*s);
}

void addTask(GuiFixture& f, const std::string& name, const std::string& folder, const char* savedAt,
             const std::string& interval = "00:15") {
    TaskRecord r;
    r.task_name = name;
    r.task_source = f.tree.path(folder);
    r.task_destination = f.tree.path("out/" + name);
    r.task_subfolders = true;
    r.task_interval = interval;
    auto store = otherStore(f);
    QVERIFY(store.addTask(r, at(savedAt)).has_value());
}

QStringList row(QTableWidget* g, int r) {
    QStringList cells;
    for (int col = 0; col < g->columnCount(); ++col) {
        cells << (g->item(r, col) ? g->item(r, col)->text() : QString());
    }
    return cells;
}

} // namespace

class TaskWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void gridAfterRefresh() {
        GuiFixture f;
        f.window->startUp();
        auto* g = f.c().MSHFlexGrid1;
        QCOMPARE(g->rowCount(), 0);
        QVERIFY(!g->isEnabled());
        QCOMPARE(g->columnCount(), 6);
        const QStringList headers{"Scheduled Tasks", "Source",    "Destination",
                                  "Last Time",       "Next Time", "Status"};
        const int widths[] = {120, 127, 127, 107, 107, 40};
        for (int col = 0; col < 6; ++col) {
            QCOMPARE(g->horizontalHeaderItem(col)->text(), headers[col]);
            QCOMPARE(g->columnWidth(col), widths[col]);
        }

        addTask(f, "ten", "a", "10.03.2026 09:00:00", "01:00");
        addTask(f, "nine", "b", "10.03.2026 08:30:00", "00:30");
        addTask(f, "midnight", "c", "10.03.2026 23:00:00", "01:00");
        f.window->tasks().refreshTaskGrid();
        QVERIFY(g->isEnabled());
        QCOMPARE(g->rowCount(), 6);
        QCOMPARE(row(g, 0).at(0), QString("nine"));
        QCOMPARE(row(g, 1).at(0), QString("ten"));
        QCOMPARE(row(g, 2), (QStringList{"midnight", QString::fromStdString(f.tree.path("c")),
                                         QString::fromStdString(f.tree.path("out/midnight")),
                                         "10.03.2026 23:00:00", "11.03.2026 00:00:00", "-"}));
        for (int r = 3; r < 6; ++r) {
            QCOMPARE(row(g, r), QStringList(6, QString()));
        }
        for (int col = 0; col < 6; ++col) {
            QCOMPARE(g->columnWidth(col), widths[col]);
        }
    }

    void clickLoadsTheTask() {
        GuiFixture f;
        f.tree.mkdir("docs");
        f.window->startUp();
        auto& c = f.c();
        TaskRecord r;
        r.task_name = "docs";
        r.task_source = f.tree.path("docs");
        r.task_destination = "//server/share/docs";
        r.task_subfolders = true;
        r.task_interval = "07:30";
        r.task_filetypes = "*.odt;*.pdf";
        r.task_uncpath = true;
        QVERIFY(otherStore(f).addTask(r, at("10.03.2026 09:00:00")).has_value());
        f.window->tasks().refreshTaskGrid();

        f.window->tasks().loadTaskFromRow(1); // an empty row: nothing changes
        QCOMPARE(c.Dir1->path(), QString::fromStdString(f.tree.path("program")));

        f.window->tasks().loadTaskFromRow(0); // on a locked selection
        QVERIFY(!c.Dir1->isEnabled());
        QCOMPARE(c.Dir1->path(), QString::fromStdString(f.tree.path("docs")));
        QCOMPARE(c.cboUpdateRate->currentText(), QString("07:30"));
        QVERIFY(c.optCopySubFolder->isChecked());
        QCOMPARE(c.cboFileTypes->currentText(), QString("*.odt;*.pdf"));
        QVERIFY(c.UNCPathDestTrue->isChecked());
        QCOMPARE(c.UNCDestination->text(), QString("//server/share/docs"));
    }

    void dialogValidation_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("tasks");
        QTest::newRow("empty name") << ""
                                    << "15 Min" << QStringList{} << false << 1;
        QTest::newRow("taken name")
            << "taken"
            << "15 Min" << QStringList{"Tavelin|Task name already exist!"} << true << 1;
        QTest::newRow("refused interval")
            << "new"
            << "No Auto" << QStringList{"Tavelin|Please enter or select the update interval!"}
            << false << 1;
        QTest::newRow("good save") << "new"
                                   << "30 Min" << QStringList{} << true << 2;
    }

    void dialogValidation() {
        QFETCH(QString, name);
        QFETCH(QString, rate);
        QFETCH(QStringList, messages);
        QFETCH(bool, closed);
        QFETCH(int, tasks);
        GuiFixture f;
        f.window->startUp();
        addTask(f, "taken", "a", "10.03.2026 09:00:00");
        f.window->tasks().refreshTaskGrid();
        f.c().cboUpdateRate->setEditText(rate);
        int result = -1;
        f.window->tasks().setDialogRunner([&](gui::TaskInput& d) {
            d.nameBox()->setText(name);
            d.confirm();
            result = d.result();
            return result;
        });
        f.window->tasks().saveSelectionAsTask();
        QCOMPARE(f.messages.shown(), messages);
        QCOMPARE(result == QDialog::Accepted, closed);
        // The grid shows the store: one row and one empty row per task.
        QCOMPARE(f.c().MSHFlexGrid1->rowCount(), tasks * 2);
        auto list = otherStore(f).listTasks();
        QCOMPARE(static_cast<int>(list->size()), tasks);
        if (tasks == 2) {
            const auto saved = *otherStore(f).findTask("new");
            QCOMPARE(saved->task_interval, std::string("00:30"));
            QCOMPARE(saved->task_success, TaskStatus::NotRun);
            QCOMPARE(saved->task_nextdate, at("10.03.2026 10:30:00"));
        }
    }

    void taskOptionsAreSaved_data() {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("ticked (as offered)") << true;
        QTest::newRow("cleared") << false;
    }

    void taskOptionsAreSaved() {
        QFETCH(bool, ticked);
        GuiFixture f;
        f.window->startUp();
        f.c().cboUpdateRate->setEditText("30 Min");
        f.window->tasks().setDialogRunner([&](gui::TaskInput& d) {
            [&] { QVERIFY(d.catchUpBox()->isChecked()); }();
            d.nameBox()->setText("new");
            d.catchUpBox()->setChecked(ticked);
            d.onChangeBox()->setChecked(!ticked);
            d.keepVersionsBox()->setChecked(ticked);
            d.confirm();
            return d.result();
        });
        f.window->tasks().saveSelectionAsTask();
        const auto saved = *otherStore(f).findTask("new");
        QVERIFY(saved.has_value());
        QCOMPARE(saved->task_catchup, ticked);
        QCOMPARE(saved->task_onchange, !ticked); // "Also copy when files change"
        QCOMPARE(saved->task_keepversions, ticked);
    }

    void emptyRateShowsNoDialog() {
        GuiFixture f;
        f.window->startUp();
        f.c().cboUpdateRate->setEditText("");
        bool opened = false;
        f.window->tasks().setDialogRunner([&](gui::TaskInput&) {
            opened = true;
            return 0;
        });
        f.window->tasks().saveSelectionAsTask();
        QVERIFY(!opened);
        QCOMPARE(f.messages.shown(),
                 QStringList{"Tavelin|Please select or enter the time interval (00:00)!"});
    }

    void dialogPlacement() {
        QCOMPARE(gui::TaskInput::placement(QRect(0, 0, 698, 600)), QPoint(349, 433));
        QCOMPARE(gui::TaskInput::placement(QRect(100, 50, 698, 600)), QPoint(399, 458));
    }

    void removeAsksFirst() {
        GuiFixture f;
        f.window->startUp();
        addTask(f, "keep me", "a", "10.03.2026 09:00:00");
        f.window->tasks().refreshTaskGrid();
        f.c().MSHFlexGrid1->setCurrentCell(0, 0);
        f.messages.queueAnswer(gui::MessageBoxes::No);
        f.window->tasks().removeSelectedTask();
        QCOMPARE(f.messages.shown(),
                 QStringList{"Warning|Do you really want to delete this task? keep me"});
        QCOMPARE(otherStore(f).listTasks()->size(), 1u);
        f.messages.queueAnswer(gui::MessageBoxes::Yes);
        f.window->tasks().removeSelectedTask();
        QCOMPARE(otherStore(f).listTasks()->size(), 0u);
        QCOMPARE(f.c().MSHFlexGrid1->rowCount(), 0);
    }

    void dueTaskCopiesItsOwnFoldersAndIsRecorded() {
        GuiFixture f;
        f.tree.write("alpha/a.txt", "a");
        f.tree.write("shown/other.txt", "not this");
        f.window->startUp();
        f.c().Dir1->setPath(QString::fromStdString(f.tree.path("shown")));
        addTask(f, "alpha", "alpha", "10.03.2026 09:45:00");
        f.window->tasks().refreshTaskGrid();
        f.window->hideWindow(); // also while hidden
        f.window->tick().tick();
        QTRY_VERIFY(!f.window->runs().busy());
        QCOMPARE(f.tree.read("out/alpha/a.txt"), std::string("a"));
        QVERIFY(!f.tree.exists("out/alpha/other.txt"));
        const auto t = **otherStore(f).findTask("alpha");
        QCOMPARE(t.task_success, TaskStatus::Ok);
        QCOMPARE(t.task_lastdate, at("10.03.2026 10:00:00"));
        QCOMPARE(t.task_nextdate, at("10.03.2026 10:15:00"));
        QCOMPARE(row(f.c().MSHFlexGrid1, 0).at(5), QString("OK"));
        QVERIFY(f.c().lblStatus->text().startsWith(
            "Last run @ 10.03.2026 10:00:00 -:- 1 Files Scaned"));
    }

    void failedTaskIsRecordedAndNoticed() {
        GuiFixture f;
        f.window->startUp();
        addTask(f, "lost", "nowhere", "10.03.2026 09:45:00");
        f.window->tick().tick();
        QTRY_VERIFY(!f.window->runs().busy());
        QCOMPARE((**otherStore(f).findTask("lost")).task_success, TaskStatus::Failed);
        QVERIFY(f.window->tray().lastNotice().contains("Task 'lost' failed"));
        QVERIFY(
            f.window->tray().lastNotice().contains(QString::fromStdString(f.tree.path("nowhere"))));
    }

    // An unplugged drive: nothing is written, the tray tells once, and the task runs as soon as
    // the drive is mounted again.
    void absentDriveIsToldOnceAndTheTaskRunsWhenItIsBack() {
        GuiFixture f;
        f.tree.write("alpha/a.txt", "a");
        f.window->startUp();
        TaskRecord r;
        r.task_name = "stick";
        r.task_source = f.tree.path("alpha");
        r.task_destination = f.tree.path("out/stick");
        r.task_interval = "00:15";
        r.task_volume = "usb-stick";
        QVERIFY(otherStore(f).addTask(r, at("10.03.2026 09:45:00")).has_value());
        f.volumeIdentity.uuid = "root-disk";
        const int before = f.window->tray().noticeCount();
        for (const char* now : {"10.03.2026 10:00:00", "10.03.2026 10:15:00"}) {
            f.clock.set(at(now));
            f.window->tick().tick();
            QTRY_VERIFY(!f.window->runs().busy());
        }
        QCOMPARE((**otherStore(f).findTask("stick")).task_success, TaskStatus::Failed);
        QCOMPARE(f.window->tray().noticeCount(), before + 1);
        QVERIFY(f.window->tray().lastNotice().contains("destination drive is not connected"));
        QVERIFY(!f.tree.exists("out"));

        f.clock.set(at("10.03.2026 10:20:00"));
        f.volumeIdentity.uuid = "usb-stick";
        f.window->tasks().drivesChanged();
        QTRY_VERIFY(f.tree.exists("out/stick/a.txt"));
        QTRY_VERIFY(!f.window->runs().busy());
        QCOMPARE((**otherStore(f).findTask("stick")).task_success, TaskStatus::Ok);
    }

    void twoTasksDueInOneSecondBothRun() {
        GuiFixture f;
        f.tree.write("a/1.txt", "1");
        f.tree.write("b/2.txt", "2");
        f.window->startUp();
        addTask(f, "first", "a", "10.03.2026 09:45:00");
        addTask(f, "second", "b", "10.03.2026 09:45:00");
        f.window->tick().tick();
        QTRY_VERIFY(!f.window->runs().busy());
        QVERIFY(f.tree.exists("out/first/1.txt") && f.tree.exists("out/second/2.txt"));
        for (const char* name : {"first", "second"}) {
            QCOMPARE((**otherStore(f).findTask(name)).task_success, TaskStatus::Ok);
        }
    }

    void taskDueDuringALongRunRunsAfterIt() {
        GuiFixture f;
        SlowOps slow(400);
        f.fileOps = &slow;
        f.make(false, QString());
        f.tree.write("a/1.txt", "1");
        f.tree.write("b/2.txt", "2");
        f.window->startUp();
        addTask(f, "long", "a", "10.03.2026 09:45:00");
        addTask(f, "later", "b", "10.03.2026 09:45:01");
        f.window->tick().tick();
        QVERIFY(f.window->runs().busy());
        f.clock.advance(1); // "later" falls due while "long" copies
        f.window->tick().tick();
        QCOMPARE(f.c().txtTimer2->text(), QString("10.03.2026 10:00:01"));
        QTRY_VERIFY_WITH_TIMEOUT(f.tree.exists("out/later/2.txt"), 5000);
        QTRY_VERIFY(!f.window->runs().busy());
        QCOMPARE((**otherStore(f).findTask("later")).task_success, TaskStatus::Ok);
        QCOMPARE((**otherStore(f).findTask("later")).task_lastdate, at("10.03.2026 10:00:01"));
    }

    void aTaskClaimedElsewhereIsNotRunAgain() {
        GuiFixture f;
        f.tree.write("a/1.txt", "1");
        f.window->startUp();
        addTask(f, "shared", "a", "10.03.2026 09:45:00");
        f.window->tasks().refreshTaskGrid();
        auto store = otherStore(f);
        const TaskRecord seen = store.dueTasks(f.clock.now())->front();
        // tavelin-cli serve takes it first.
        QVERIFY(*store.claimDue("shared", *seen.task_nextdate, at("10.03.2026 10:15:07")));
        f.c().lblStatus->setText("before");
        f.window->runs().queueTask(seen);
        QTRY_VERIFY(!f.window->runs().busy());
        QVERIFY(!f.tree.exists("out/shared/1.txt"));
        QCOMPARE(f.c().lblStatus->text(), QString("before"));
        QCOMPARE(row(f.c().MSHFlexGrid1, 0).at(4), QString("10.03.2026 10:15:07"));
    }

    void hourlyRefreshOncePerHour() {
        GuiFixture f;
        f.clock.set(at("10.03.2026 13:59:58"));
        f.window->startUp();
        // Changed behind the window's back, due much later: only a refresh shows it.
        addTask(f, "outside", "a", "10.03.2026 13:00:00", "05:00");
        f.window->tick().tick();
        QCOMPARE(f.c().MSHFlexGrid1->rowCount(), 0);
        f.clock.set(at("10.03.2026 14:00:00"));
        f.window->tick().tick();
        QCOMPARE(f.window->state().lastHour, QString("14"));
        QCOMPARE(f.c().MSHFlexGrid1->rowCount(), 2);
        auto store = otherStore(f);
        QVERIFY(store.deleteTask("outside").has_value());
        f.clock.advance(30);
        f.window->tick().tick();
        QCOMPARE(f.c().MSHFlexGrid1->rowCount(), 2); // not again within the hour
    }

    void aboutWindow() {
        GuiFixture f;
        gui::FrmAbout about(f.window.get(), "https://example.org", "support@example.org",
                            f.messages);
        QCOMPARE(about.versionLabel()->text(), QString("Version:  1.7"));
        QCOMPARE(about.size(), QSize(301, 301));
    }
};

QTEST_MAIN(TaskWindowTest)
#include "TaskWindowTest.moc"
