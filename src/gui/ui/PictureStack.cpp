#include "gui/ui/PictureStack.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tavelin::gui {

PictureStack::PictureStack(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
}

void PictureStack::addPicture(const QString& name, const QPixmap& pixmap, bool shown) {
    pictures_.push_back({name, pixmap, shown});
    update();
}

void PictureStack::setShown(const QString& name, bool shown) {
    for (auto& p : pictures_) {
        if (p.name == name && p.shown != shown) {
            p.shown = shown;
            update();
        }
    }
}

bool PictureStack::isShown(const QString& name) const {
    for (const auto& p : pictures_) {
        if (p.name == name) {
            return p.shown;
        }
    }
    return false;
}

QString PictureStack::top() const {
    for (const auto& p : pictures_) {
        if (p.shown) {
            return p.name;
        }
    }
    return {};
}

void PictureStack::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (const auto& p : pictures_) {
        if (p.shown) {
            painter.drawPixmap(rect(), p.pixmap);
            break;
        }
    }
    if (hasFocus()) {
        // The skin's focus mark: a dotted pale-cyan frame just inside the button.
        painter.setPen(QPen(QColor(192, 255, 255), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void PictureStack::acceptKeyboard() {
    setFocusPolicy(Qt::StrongFocus);
}

void PictureStack::keyPressEvent(QKeyEvent* e) {
    if (focusPolicy() != Qt::NoFocus && !e->isAutoRepeat() &&
        (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        emit keyActivated();
        return;
    }
    QWidget::keyPressEvent(e);
}

void PictureStack::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    update();
}

void PictureStack::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    update();
}

void PictureStack::mouseMoveEvent(QMouseEvent* e) {
    // While a press is held, the picture that took it keeps the pointer.
    if (pressedPicture_.isEmpty() && !top().isEmpty()) {
        emit moved(top());
    }
    e->accept();
}

void PictureStack::mousePressEvent(QMouseEvent* e) {
    pressedPicture_ = top();
    if (!pressedPicture_.isEmpty()) {
        emit pressed(pressedPicture_);
    }
    e->accept();
}

void PictureStack::mouseReleaseEvent(QMouseEvent* e) {
    const QString picture = pressedPicture_;
    pressedPicture_.clear();
    if (!picture.isEmpty()) {
        emit released(picture);
    }
    e->accept();
}

} // namespace tavelin::gui
