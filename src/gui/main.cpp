// mMain: the start-up routine. It creates the main window and shows it, nothing else.
#include "platform/DiskVolumeIdentity.h"
#include "platform/MountTable.h"
#include "shell/FrmMain.h"
#include "tasks/TaskDatabaseLocation.h"
#include "ui/MessageBoxes.h"
#include "util/SystemClock.h"
#include "util/Version.h"

#include <QApplication>
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

int Main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Tavelin %s\n", tavelin::Version::text().c_str());
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tavelin");
    QApplication::setOrganizationName("Tavelin");
    QApplication::setApplicationVersion(QString::fromStdString(tavelin::Version::text()));
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList rest = QCoreApplication::arguments().mid(1);
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
        &volumeIdentity};
    tavelin::gui::FrmMain window(std::move(deps));
    window.Form_Load();
    window.showAfterLoad();
    return app.exec();
}

int main(int argc, char** argv) {
    return Main(argc, argv);
}
