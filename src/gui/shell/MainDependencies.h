#pragma once

#include "core/shell/AutostartEntry.h"

#include <QString>
#include <functional>
#include <string>

class QSettings;

namespace tavelin {
class Clock;
class FileOps;
class Volumes;
class VolumeIdentity;
} // namespace tavelin

namespace tavelin::gui {

class MessageBoxes;

// What the main window needs from outside; tests pass their own.
struct MainDependencies {
    const Clock& clock;
    const Volumes& volumes;
    MessageBoxes& messages;
    QSettings& settings;
    std::string databasePath;
    QString programPath;
    QString arguments;
    AutostartEntry autostart;
    bool trayAvailable;
    // Ends the program at once (the last step of Exit).
    std::function<void()> quit;
    QString website;
    QString email;
    // The copy's file operations; the real ones when null (tests slow them down or fail them).
    FileOps* fileOps = nullptr;
    // Tells which drive a task's destination lies on; without one no task checks its drive.
    const VolumeIdentity* volumeIdentity = nullptr;
    // The user's home folder; empty: the system's.
    QString homeFolder;
};

} // namespace tavelin::gui
