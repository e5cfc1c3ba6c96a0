#pragma once

#include <QListWidget>
#include <QString>

namespace tavelin::gui {

// A folder list: the folders from the root down to the current one, then its sub-folders.
// A double click opens a folder; setPath() does the same from code. Either way pathChanged()
// follows, as a folder list's Change does.
class DirList : public QListWidget {
    Q_OBJECT
  public:
    explicit DirList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // False (and nothing changes) when the folder cannot be listed.
    bool setPath(const QString& path);

  signals:
    void pathChanged();

  private:
    void fill();
    QString path_;
};

} // namespace tavelin::gui
