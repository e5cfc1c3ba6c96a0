#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <vector>

namespace tavelin::gui {

// Pictures stacked on one rectangle, each shown or hidden on its own. What the user sees, and
// what receives the pointer, is the topmost shown picture.
class PictureStack : public QWidget {
    Q_OBJECT
  public:
    explicit PictureStack(QWidget* parent = nullptr);

    // Adds a picture below those already added.
    void addPicture(const QString& name, const QPixmap& pixmap, bool shown = true);
    void setShown(const QString& name, bool shown);
    bool isShown(const QString& name) const;
    // The topmost shown picture; empty when none is shown.
    QString top() const;

    // Buttons take the keyboard focus (Tab), show a focus mark and act on Space or Enter.
    void acceptKeyboard();

  signals:
    void moved(const QString& picture);
    void pressed(const QString& picture);
    void released(const QString& picture);
    void keyActivated();

  protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

  private:
    struct Picture {
        QString name;
        QPixmap pixmap;
        bool shown;
    };
    std::vector<Picture> pictures_;
    QString pressedPicture_;
};

} // namespace tavelin::gui
