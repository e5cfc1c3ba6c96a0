#pragma once

#include <array>

class QWidget;

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QTimer;

namespace tavelin::gui {

class DirList;
class FileList;
class ImageButton;
class LockPair;
class ProgressCntrl;
class StatusLine;
class Surface;

// The main window's controls, by the names the program uses for them.
struct MainControls {
    Surface* Background = nullptr;
    Surface* Image1 = nullptr;
    Surface* Image2 = nullptr;
    Surface* Image3 = nullptr;
    Surface* Image4 = nullptr;

    QCheckBox* CheStart = nullptr;
    ImageButton* BM = nullptr;
    ImageButton* BX = nullptr;

    QLabel* Label1 = nullptr;
    QComboBox* Drive1 = nullptr;
    DirList* Dir1 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cboFileTypes = nullptr;
    FileList* File1 = nullptr;

    QLabel* Label2 = nullptr;
    QComboBox* Drive2 = nullptr;
    DirList* Dir2 = nullptr;
    FileList* File2 = nullptr;
    QCheckBox* UNCPathDestTrue = nullptr;
    QLineEdit* UNCDestination = nullptr;

    QLabel* Label4 = nullptr;
    QLineEdit* txtFolders = nullptr;
    ProgressCntrl* proFolders = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtFiles = nullptr;
    ProgressCntrl* proFiles = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* txtSize = nullptr;
    ProgressCntrl* proSize = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* cboUpdateRate = nullptr;
    QLabel* Label8 = nullptr;
    QCheckBox* optCopySubFolder = nullptr;

    ImageButton* cmdCount = nullptr;
    LockPair* lockPair = nullptr;
    ImageButton* cmdRun = nullptr;
    ImageButton* cmdClose = nullptr;

    QLineEdit* txtTimer2 = nullptr;
    QLineEdit* txtTimer = nullptr;
    ImageButton* BSTask = nullptr;
    ImageButton* BRemove = nullptr;
    ImageButton* BInfo = nullptr;
    QTableWidget* MSHFlexGrid1 = nullptr;

    StatusLine* lblStatus = nullptr;

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

    // The nine controls that the lock freezes.
    std::array<QWidget*, 9> lockable() const;
};

} // namespace tavelin::gui
