#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

namespace tavelin::gui {

// One program per user. The first start holds a lock and listens on a local socket in the
// user's runtime folder; a later start hands its wish to the first and ends: a plain start
// brings the running window forward, "-min" asks for nothing more.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `folder`: the user's own runtime folder ($XDG_RUNTIME_DIR).
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);

    // True when this is the first program (it now listens); false when another one runs and
    // has been told `showWindow`.
    bool claim(bool showWindow);

    static QString runtimeFolder();

  signals:
    void showRequested();

  private:
    void readWish();

    QString socketPath_;
    QLockFile lock_;
    QLocalServer server_;
};

} // namespace tavelin::gui
