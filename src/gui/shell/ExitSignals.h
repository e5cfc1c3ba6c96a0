#pragma once

#include <QObject>

class QSocketNotifier;

namespace tavelin::gui {

// SIGTERM, SIGHUP and SIGINT end the program as Exit does (settings saved, a run stopped
// cleanly). The handler only writes a byte into a pipe; the event loop reads it.
class ExitSignals : public QObject {
    Q_OBJECT
  public:
    explicit ExitSignals(QObject* parent = nullptr);
    ~ExitSignals() override;
    ExitSignals(const ExitSignals&) = delete;
    ExitSignals& operator=(const ExitSignals&) = delete;

  signals:
    void exitRequested();

  private:
    int fds_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace tavelin::gui
