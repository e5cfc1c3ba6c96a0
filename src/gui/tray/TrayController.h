#pragma once

#include <QObject>
#include <QString>

class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace tavelin::gui {

// The notification-area icon: tip "Brenvik - Tavelin", menu Show / Exit; a double click shows
// the window, a single click does nothing.
class TrayController : public QObject {
    Q_OBJECT
  public:
    TrayController(bool available, QObject* parent = nullptr);
    ~TrayController() override;

    void addTrayIcon(const QIcon& icon);
    void removeTrayIcon();
    // False where the desktop has no notification area: the window must then never hide.
    bool available() const { return available_; }
    void notify(const QString& title, const QString& text);
    const QString& lastNotice() const { return lastNotice_; }
    int noticeCount() const { return noticeCount_; }
    QMenu* menu() const { return menu_; }

  signals:
    void showRequested();
    void exitRequested();

  private:
    bool available_;
    QSystemTrayIcon* icon_ = nullptr;
    QMenu* menu_ = nullptr;
    QString lastNotice_;
    int noticeCount_ = 0;
};

} // namespace tavelin::gui
