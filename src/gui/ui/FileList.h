#pragma once

#include <QListWidget>

namespace tavelin::gui {

// The files of one folder that match a pattern ("*.txt;*.doc"), hidden files included.
class FileList : public QListWidget {
    Q_OBJECT
  public:
    explicit FileList(QWidget* parent = nullptr);

    void setPattern(const QString& pattern);
    void setPath(const QString& path);
    // Lists the folder again (after a run has put files there).
    void refresh() { fill(); }
    QString pattern() const { return pattern_; }
    QString path() const { return path_; }

  private:
    void fill();
    QString pattern_ = "*.*";
    QString path_;
};

} // namespace tavelin::gui
