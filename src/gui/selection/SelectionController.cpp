#include "gui/selection/SelectionController.h"

#include "core/platform/Volumes.h"
#include "core/util/FolderPath.h"
#include "gui/selection/MainState.h"
#include "gui/ui/DirList.h"
#include "gui/ui/FileList.h"
#include "gui/ui/MainControls.h"
#include "gui/ui/MainWindowLayout.h"
#include "gui/ui/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace tavelin::gui {

SelectionController::SelectionController(MainControls& controls, MainState& state,
                                         const Volumes& volumes, MessageBoxes& messages,
                                         QObject* parent)
    : QObject(parent), c_(controls), state_(state), volumes_(volumes), messages_(messages) {
    connect(c_.Drive1, &QComboBox::currentIndexChanged, this,
            &SelectionController::sourceDriveChanged);
    connect(c_.Drive2, &QComboBox::currentIndexChanged, this,
            &SelectionController::destinationDriveChanged);
    connect(c_.Dir1, &DirList::pathChanged, this, &SelectionController::sourceFolderChanged);
    connect(c_.Dir2, &DirList::pathChanged, this, &SelectionController::destinationFolderChanged);
    connect(c_.cboFileTypes, &QComboBox::activated, this, &SelectionController::patternChosen);
    connect(c_.UNCPathDestTrue, &QCheckBox::stateChanged, this,
            &SelectionController::typedDestinationToggled);
}

void SelectionController::fillDrives() {
    drives_ = volumes_.list();
    for (QComboBox* combo : {c_.Drive1, c_.Drive2}) {
        const QSignalBlocker quiet(combo);
        combo->clear();
        for (const auto& v : drives_) {
            combo->addItem(QString::fromStdString(v.mountPoint));
        }
        combo->setCurrentIndex(drives_.empty() ? -1 : 0);
    }
    if (!drives_.empty()) {
        const QSignalBlocker quiet1(c_.Dir1);
        const QSignalBlocker quiet2(c_.Dir2);
        c_.Dir1->setPath(QString::fromStdString(drives_.front().mountPoint));
        c_.Dir2->setPath(QString::fromStdString(drives_.front().mountPoint));
        c_.File1->setPath(c_.Dir1->path());
        c_.File2->setPath(c_.Dir2->path());
    }
}

int SelectionController::volumeIndexFor(const QString& folder) const {
    const std::string path = folder.toStdString();
    int best = -1;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        const std::string& m = drives_[i].mountPoint;
        if (FolderPath::isSameOrInside(path, m) && (best < 0 || m.size() > bestLength)) {
            best = static_cast<int>(i);
            bestLength = m.size();
        }
    }
    return best;
}

QString SelectionController::firstOtherVolume(const QString& folder) const {
    const int own = volumeIndexFor(folder);
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        if (static_cast<int>(i) != own && volumes_.isAvailable(drives_[i].mountPoint)) {
            return QString::fromStdString(drives_[i].mountPoint);
        }
    }
    return folder;
}

void SelectionController::showVolumeOf(QComboBox* drive, const QString& folder, int& lastIndex) {
    // The drive box always names the volume of the folder the list shows.
    const int index = volumeIndexFor(folder);
    if (index >= 0 && index != drive->currentIndex()) {
        const QSignalBlocker quiet(drive);
        drive->setCurrentIndex(index);
        lastIndex = index;
    }
}

void SelectionController::fillFileTypes() {
    c_.cboFileTypes->clear();
    for (const char* t : {"*.*", "*.exe", "*.txt", "*.csv", "*.xls", "*.doc", "*.mdb", "*.rpt",
                          "*.rep", "*.rtf", "*.dot", "*.pdf"}) {
        c_.cboFileTypes->addItem(t);
    }
    c_.cboFileTypes->setCurrentIndex(0);
    c_.File1->setPattern(c_.cboFileTypes->currentText());
}

bool SelectionController::isLocked() const {
    return !c_.Dir1->isEnabled();
}

void SelectionController::toggleLock() {
    for (QWidget* w : c_.lockable()) {
        w->setEnabled(!w->isEnabled());
    }
    state_.countBlocked = c_.Dir1->isEnabled();
    MainWindowLayout::showLockState(c_, isLocked());
}

Selection SelectionController::selection() const {
    Selection s;
    s.sourceRoot = c_.Dir1->path().toStdString();
    s.typedDestination = state_.UNCDTrue;
    s.destinationRoot =
        (state_.UNCDTrue ? c_.UNCDestination->text() : c_.Dir2->path()).toStdString();
    s.pattern = c_.cboFileTypes->currentText().toStdString();
    s.subfolders = c_.optCopySubFolder->isChecked();
    s.keepVersions = state_.keepVersions;
    return s;
}

void SelectionController::sourceDriveChanged() {
    driveChange(c_.Drive1, c_.Dir1, state_.LastDrive1Index, "drive is not available");
}

void SelectionController::destinationDriveChanged() {
    driveChange(c_.Drive2, c_.Dir2, state_.LastDrive2Index, "Drive is not available");
}

void SelectionController::driveChange(QComboBox* drive, DirList* dir, int& lastIndex,
                                      const QString& text) {
    const int index = drive->currentIndex();
    if (index < 0 || index >= static_cast<int>(drives_.size())) {
        return;
    }
    const std::string mountPoint = drives_[static_cast<std::size_t>(index)].mountPoint;
    // Show the folder last visited on that drive; ask again while the drive cannot be read.
    for (;;) {
        if (!volumes_.isAvailable(mountPoint)) {
            const int answer = messages_.show(MessageBoxes::Icon::Critical, "Selecting Drive", text,
                                              MessageBoxes::Retry | MessageBoxes::Cancel);
            if (answer == MessageBoxes::Retry) {
                continue;
            }
            // Cancel: back to the last drive that worked (its change runs once more).
            drive->setCurrentIndex(lastIndex);
            break;
        }
        const auto remembered = driveFolders_.find(mountPoint);
        const QString folder = remembered != driveFolders_.end()
                                   ? remembered->second
                                   : QString::fromStdString(mountPoint);
        if (!dir->setPath(folder) && !dir->setPath(QString::fromStdString(mountPoint))) {
            messages_.show(MessageBoxes::Icon::Exclamation, QString(),
                           "Cannot open the folder " + folder, MessageBoxes::Ok);
        }
        break;
    }
    // Remembered so that a later refusal can go back to this drive.
    lastIndex = drive->currentIndex();
}

void SelectionController::sourceFolderChanged() {
    showVolumeOf(c_.Drive1, c_.Dir1->path(), state_.LastDrive1Index);
    c_.File1->setPattern(c_.cboFileTypes->currentText());
    c_.File1->setPath(c_.Dir1->path());
    c_.txtFolders->clear();
    c_.txtFiles->clear();
    c_.txtSize->clear();
    const int d = c_.Drive1->currentIndex();
    if (d >= 0 && d < static_cast<int>(drives_.size())) {
        driveFolders_[drives_[static_cast<std::size_t>(d)].mountPoint] = c_.Dir1->path();
    }
}

void SelectionController::destinationFolderChanged() {
    showVolumeOf(c_.Drive2, c_.Dir2->path(), state_.LastDrive2Index);
    c_.File2->setPath(c_.Dir2->path());
    const int d = c_.Drive2->currentIndex();
    if (d >= 0 && d < static_cast<int>(drives_.size())) {
        driveFolders_[drives_[static_cast<std::size_t>(d)].mountPoint] = c_.Dir2->path();
    }
}

void SelectionController::patternChosen() {
    c_.File1->setPattern(c_.cboFileTypes->currentText());
}

void SelectionController::typedDestinationToggled() {
    if (c_.UNCPathDestTrue->isChecked()) {
        state_.UNCDTrue = true;
        c_.UNCDestination->show();
        c_.Dir2->hide();
        c_.File2->hide();
        c_.Drive2->hide();
    } else {
        state_.UNCDTrue = false;
        c_.UNCDestination->hide();
        c_.Dir2->show();
        c_.File2->show();
        c_.Drive2->show();
    }
}

void SelectionController::loadTask(const QString& source, const QString& destination,
                                   const QString& interval, bool subfolders, const QString& pattern,
                                   bool typedDestination) {
    c_.Dir1->setPath(source);
    if (typedDestination) {
        c_.UNCDestination->setText(destination);
    } else {
        c_.Dir2->setPath(destination);
    }
    c_.cboUpdateRate->setEditText(interval);
    c_.optCopySubFolder->setChecked(subfolders);
    c_.cboFileTypes->setEditText(pattern);
    c_.File1->setPattern(pattern);
    c_.UNCPathDestTrue->setChecked(typedDestination);
}

} // namespace tavelin::gui
