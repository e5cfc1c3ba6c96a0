#pragma once

#include <QString>

namespace tavelin::gui {

// The main window's own fields, shared by its controllers.
struct MainState {
    // Replaced files of the window's own runs are kept (the remembered "KeepVersions"; no
    // control of its own fits the layout, so it is set in the settings file).
    bool keepVersions = false;
    bool UNCDTrue = false;
    int LastDrive1Index = 0;
    int LastDrive2Index = 0;
    bool countBlocked = false;
    QString lastHour;
};

} // namespace tavelin::gui
