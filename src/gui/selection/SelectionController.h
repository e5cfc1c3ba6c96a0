#pragma once

#include "core/copy/Selection.h"
#include "core/platform/Volume.h"

#include <QObject>
#include <QString>
#include <map>
#include <vector>

class QComboBox;

namespace tavelin {
class Volumes;
}

namespace tavelin::gui {

class DirList;
class MessageBoxes;
struct MainControls;
struct MainState;

// The source and destination selection: drive, folder and file lists linked to each other,
// the file-type filter, the network-path switch, and the lock.
class SelectionController : public QObject {
    Q_OBJECT
  public:
    SelectionController(MainControls& controls, MainState& state, const Volumes& volumes,
                        MessageBoxes& messages, QObject* parent = nullptr);

    // Fills the drive lists (the root first) without running their change handlers.
    void fillDrives();
    // The root of the first volume that does not hold `folder`; `folder` when there is none.
    QString firstOtherVolume(const QString& folder) const;
    void fillFileTypes();

    // Locked exactly when Dir1 is disabled.
    bool isLocked() const;
    // Flips the nine frozen controls and sets countBlocked.
    void toggleLock();

    // What a run of the window's selection copies.
    Selection selection() const;

    // Loads a task's folders and choices into the selection (locked or not). A folder that
    // no longer exists is left as it was.
    void loadTask(const QString& source, const QString& destination, const QString& interval,
                  bool subfolders, const QString& pattern, bool typedDestination);

  private:
    void sourceDriveChanged();
    void destinationDriveChanged();
    void driveChange(QComboBox* drive, DirList* dir, int& lastIndex, const QString& text);
    // The drive list's row of the volume that holds `folder` (the deepest mount point); -1.
    int volumeIndexFor(const QString& folder) const;
    void showVolumeOf(QComboBox* drive, const QString& folder, int& lastIndex);
    void sourceFolderChanged();
    void destinationFolderChanged();
    void patternChosen();
    void typedDestinationToggled();

    MainControls& c_;
    MainState& state_;
    const Volumes& volumes_;
    MessageBoxes& messages_;
    std::vector<Volume> drives_;
    // The folder each drive showed last: a drive change returns there.
    std::map<std::string, QString> driveFolders_;
};

} // namespace tavelin::gui
