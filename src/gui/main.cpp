// Start-up: parses the few options, creates the main window and shows it, nothing else.
#include "core/platform/DiskVolumeIdentity.h"
#include "core/platform/MountTable.h"
#include "core/tasks/TaskDatabaseLocation.h"
#include "core/util/SystemClock.h"
#include "core/util/Version.h"
#include "gui/shell/ExitSignals.h"
#include "gui/shell/FrmMain.h"
#include "gui/shell/SingleInstance.h"
#include "gui/ui/MessageBoxes.h"

#include <QApplication>
#include <QSessionManager>
#include <QSettings>
#include <QSystemTrayIcon>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::map<std::string, std::string> environment() {
    std::map<std::string, std::string> env;
    for (const char* name : {"TAVELIN_DB", "XDG_DATA_HOME", "HOME"}) {
        if (const char* value = std::getenv(name)) {
            env[name] = value;
        }
    }
    return env;
}

std::string configHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config";
}

} // namespace

const char* const kUsage =
    "usage: tavelin [-min]\n"
    "Keeps destination folders up to date with source folders; lives in the notification\n"
    "area and runs the scheduled tasks while it runs.\n"
    "  -min        start in the notification area (a program already running: nothing more)\n"
    "  --version   print the version\n"
    "  --help, -h  print this help\n"
    "A second start brings the running window forward.\n"
    "Settings: $XDG_CONFIG_HOME/Tavelin/Tavelin.conf (~/.config/Tavelin/Tavelin.conf).\n"
    "Tasks: $TAVELIN_DB, else tasks.db beside the program, else\n"
    "$XDG_DATA_HOME/Tavelin/tasks.db (~/.local/share/Tavelin/tasks.db).\n"
    "Without a desktop, 'tavelin-cli serve' runs the tasks headless (see tavelin-cli --help).\n";

const char* const kNoDisplay =
    "tavelin: no display to show the window on; use 'tavelin-cli serve' to run the tasks "
    "headless\n";

// While the application starts, Qt's complaints about a display that cannot be opened are
// replaced by one line of ours.
void startupMessages(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        std::_Exit(1);
    }
}

int runProgram(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Tavelin %s\n", tavelin::Version::text().c_str());
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && v[0] != '\0';
    };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM")) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    QApplication::setApplicationName("Tavelin");
    QApplication::setOrganizationName("Tavelin");
    QApplication::setApplicationVersion(QString::fromStdString(tavelin::Version::text()));
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList rest = QCoreApplication::arguments().mid(1);
    const bool minimised = rest.join(' ') == "-min";
    tavelin::gui::SingleInstance instance(tavelin::gui::SingleInstance::runtimeFolder());
    if (!instance.claim(!minimised)) {
        return 0; // the running program took over
    }
    tavelin::SystemClock clock;
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    tavelin::MountTable volumes("/proc/self/mountinfo", runtimeDir.isEmpty()
                                                            ? std::string()
                                                            : (runtimeDir + "/gvfs").toStdString());
    tavelin::DiskVolumeIdentity volumeIdentity;
    tavelin::gui::MessageBoxes messages;
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Tavelin", "Tavelin");
    const QString program = QCoreApplication::applicationFilePath();
    tavelin::gui::MainDependencies deps{
        clock,
        volumes,
        messages,
        settings,
        tavelin::TaskDatabaseLocation::resolve(
            "", environment(), QCoreApplication::applicationDirPath().toStdString()),
        program,
        rest.join(' '),
        tavelin::AutostartEntry(configHome()),
        QSystemTrayIcon::isSystemTrayAvailable(),
        [] { QCoreApplication::exit(0); },
        TAVELIN_WEBSITE,
        TAVELIN_EMAIL,
        nullptr,
        &volumeIdentity,
        QString()};
    tavelin::gui::FrmMain window(std::move(deps));
    QObject::connect(&instance, &tavelin::gui::SingleInstance::showRequested, &window,
                     &tavelin::gui::FrmMain::showFromTray);
    // A signal or the end of the desktop session ends the program as Exit does.
    tavelin::gui::ExitSignals exitSignals;
    QObject::connect(&exitSignals, &tavelin::gui::ExitSignals::exitRequested, &window,
                     &tavelin::gui::FrmMain::exitProgram);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.saveSettings(); });
    window.startUp();
    window.showAfterLoad();
    return app.exec();
}

int main(int argc, char** argv) {
    return runProgram(argc, argv);
}
