#include "gui/ui/ImageButton.h"

#include "gui/ui/Skin.h"

namespace tavelin::gui {

ImageButton::ImageButton(const QString& baseName, const QPixmap& normal, const QPixmap& active,
                         const QPixmap& down, QWidget* parent)
    : PictureStack(parent), base_(baseName) {
    setObjectName(baseName);
    // Stacked Normal, Down, Active from the top, all shown: Normal is what is seen at first.
    addPicture(base_ + "Normal", normal);
    addPicture(base_ + "Down", down);
    addPicture(base_ + "Active", active);
    connect(this, &PictureStack::moved, this, &ImageButton::onMoved);
    connect(this, &PictureStack::pressed, this, &ImageButton::onPressed);
    connect(this, &PictureStack::released, this, &ImageButton::onReleased);
    acceptKeyboard();
    // A key does what a click does: the press, then the release.
    connect(this, &PictureStack::keyActivated, this, [this] {
        emit pressedDown();
        emit releasedUp();
        toRest();
    });
}

ImageButton* ImageButton::skinned(const QString& baseName, const QString& label, const QRect& r,
                                  QWidget* parent) {
    using F = Skin::Face;
    auto* b = new ImageButton(baseName, Skin::button(label, F::Normal, r.width(), r.height()),
                              Skin::button(label, F::Active, r.width(), r.height()),
                              Skin::button(label, F::Down, r.width(), r.height()), parent);
    b->setGeometry(r);
    return b;
}

ImageButton* ImageButton::glyph(const QString& baseName, const QString& glyph, const QRect& r,
                                QWidget* parent) {
    using F = Skin::Face;
    auto* b = new ImageButton(baseName, Skin::glyphButton(glyph, F::Normal, r.width()),
                              Skin::glyphButton(glyph, F::Active, r.width()),
                              Skin::glyphButton(glyph, F::Down, r.width()), parent);
    b->setGeometry(r);
    return b;
}

ImageButton::State ImageButton::state() const {
    const QString t = top();
    if (t == base_ + "Active") {
        return State::Hover;
    }
    if (t == base_ + "Down") {
        return State::Pressed;
    }
    return State::Rest;
}

void ImageButton::toRest() {
    setShown(base_ + "Active", false);
    setShown(base_ + "Down", false);
    setShown(base_ + "Normal", true);
}

void ImageButton::onMoved(const QString& picture) {
    if (picture != base_ + "Normal") {
        return;
    }
    setShown(base_ + "Active", true);
    setShown(base_ + "Down", false);
    setShown(base_ + "Normal", false);
    emit hovered();
}

void ImageButton::onPressed(const QString& picture) {
    if (picture != base_ + "Active") {
        return;
    }
    setShown(base_ + "Active", false);
    setShown(base_ + "Down", true);
    emit pressedDown();
}

void ImageButton::onReleased(const QString& picture) {
    if (picture != base_ + "Active") {
        return;
    }
    setShown(base_ + "Down", false);
    setShown(base_ + "Normal", true);
    emit releasedUp();
}

} // namespace tavelin::gui
