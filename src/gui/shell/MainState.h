#pragma once

#include <QString>

namespace tavelin::gui {

// The main window's own fields, shared by its controllers.
struct MainState {
    bool UNCDTrue = false;
    int LastDrive1Index = 0;
    int LastDrive2Index = 0;
    bool countBlocked = false;
    QString lastHour;
};

} // namespace tavelin::gui
