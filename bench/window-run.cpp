// Times one Run from the real main window (offscreen), from the press to the summary line:
//   tavelin-bench-window-run SOURCE DESTINATION
#include "core/platform/MountTable.h"
#include "core/util/SystemClock.h"
#include "gui/run/RunController.h"
#include "gui/selection/SelectionController.h"
#include "gui/shell/FrmMain.h"
#include "gui/ui/DirList.h"
#include "gui/ui/LockPair.h"
#include "gui/ui/MessageBoxes.h"
#include "gui/ui/StatusLine.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE DESTINATION\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QTemporaryDir temp;
    const QString work = temp.path();
    tavelin::SystemClock clock;
    tavelin::MountTable volumes;
    tavelin::gui::MessageBoxes messages;
    messages.setInteractive(false);
    QSettings settings(work + "/settings.ini", QSettings::IniFormat);
    tavelin::gui::FrmMain window(tavelin::gui::MainDependencies{
        clock, volumes, messages, settings, (work + "/tasks.db").toStdString(), work + "/tavelin",
        QString(), tavelin::AutostartEntry(work.toStdString()), false, [] {}, QString(), QString(),
        nullptr, nullptr, work});
    window.startUp();
    window.show();
    auto& c = window.controls();
    window.selection().toggleLock();
    c.Dir1->setPath(argv[1]);
    QDir().mkpath(argv[2]);
    c.Dir2->setPath(argv[2]);
    c.cboFileTypes->setEditText("*.*");
    c.optCopySubFolder->setChecked(true);
    window.selection().toggleLock();

    QElapsedTimer timer;
    QTimer::singleShot(0, [&] {
        timer.start();
        window.runs().runButton();
    });
    QObject::connect(&window.runs(), &tavelin::gui::RunController::becameIdle, [&] {
        std::printf("%.3f\n", static_cast<double>(timer.nsecsElapsed()) / 1e9);
        std::fprintf(stderr, "%s\n", qPrintable(c.lblStatus->text()));
        QCoreApplication::exit(0);
    });
    return app.exec();
}
