#pragma once

#include <QPixmap>
#include <QWidget>

namespace tavelin::gui {

// The window's background or a panel behind buttons: crossing it puts buttons back to rest,
// and holding the left button on it drags the window.
class Surface : public QWidget {
    Q_OBJECT
  public:
    explicit Surface(const QPixmap& picture, QWidget* parent = nullptr);

    // A panel behind a group of buttons, its picture drawn at the rectangle's size.
    static Surface* panel(const QString& name, const QRect& rect, QWidget* parent);

  signals:
    void crossed();

  protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

  private:
    QPixmap picture_;
};

} // namespace tavelin::gui
