#include "gui/ui/Surface.h"

#include "gui/ui/Skin.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tavelin::gui {

Surface::Surface(const QPixmap& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setMouseTracking(true);
}

Surface* Surface::panel(const QString& name, const QRect& rect, QWidget* parent) {
    auto* s = new Surface(Skin::panel(rect.width(), rect.height()), parent);
    s->setObjectName(name);
    s->setGeometry(rect);
    return s;
}

void Surface::paintEvent(QPaintEvent*) {
    if (!picture_.isNull()) {
        QPainter(this).drawPixmap(QPoint(0, 0), picture_);
    }
}

void Surface::mouseMoveEvent(QMouseEvent* e) {
    emit crossed();
    QCoreApplication::processEvents();
    if ((e->buttons() & Qt::LeftButton) && window()->windowHandle() != nullptr) {
        // The window manager moves the window until the button is released.
        window()->windowHandle()->startSystemMove();
    }
}

void Surface::mousePressEvent(QMouseEvent* e) {
    e->accept();
}

} // namespace tavelin::gui
