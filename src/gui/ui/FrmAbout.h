#pragma once

#include <QDialog>

class QLabel;

namespace tavelin::gui {

class ImageButton;

// The About window: maker, product, version, web and e-mail links, and two ways to close.
class FrmAbout : public QDialog {
    Q_OBJECT
  public:
    FrmAbout(QWidget* parent, QString website, QString email);

    QLabel* versionLabel() const { return version_; }
    void Label4_Click();
    void Label5_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* version_;
    QLabel* web_;
    QLabel* mail_;
    QString website_;
    QString email_;
};

} // namespace tavelin::gui
