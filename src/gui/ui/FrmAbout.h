#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QUrl;

namespace tavelin::gui {

class ImageButton;
class MessageBoxes;

// The About window: maker, product, version, web and e-mail links, and two ways to close.
class FrmAbout : public QDialog {
    Q_OBJECT
  public:
    // `messages` tells when no program opens a link.
    FrmAbout(QWidget* parent, QString website, QString email, MessageBoxes& messages);

    // Tests: how a link is handed to the desktop (true when a program took it).
    void setOpener(std::function<bool(const QUrl&)> opener) { open_ = std::move(opener); }

    QLabel* versionLabel() const { return version_; }
    void openWebsite();
    void openEmail();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* version_;
    QLabel* web_;
    QLabel* mail_;
    void openLink(const QUrl& url, const QString& address);

    QString website_;
    QString email_;
    MessageBoxes& messages_;
    std::function<bool(const QUrl&)> open_;
};

} // namespace tavelin::gui
