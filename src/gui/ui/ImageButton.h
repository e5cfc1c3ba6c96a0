#pragma once

#include "gui/ui/PictureStack.h"

namespace tavelin::gui {

// A button drawn from three pictures (base name + Normal, Active, Down). The pointer over the
// Normal picture shows Active (Hover); a press on Active shows Down (Pressed); its release
// shows Normal again (Rest). Which buttons go back to rest, and what the button does, is up to
// the window that owns it.
class ImageButton : public PictureStack {
    Q_OBJECT
  public:
    enum class State { Rest, Hover, Pressed };

    ImageButton(const QString& baseName, const QPixmap& normal, const QPixmap& active,
                const QPixmap& down, QWidget* parent = nullptr);

    // The three skin pictures of a labelled button, or of a title-strip glyph ("min", "close").
    static ImageButton* skinned(const QString& baseName, const QString& label, const QRect& rect,
                                QWidget* parent);
    static ImageButton* glyph(const QString& baseName, const QString& glyph, const QRect& rect,
                              QWidget* parent);

    const QString& baseName() const { return base_; }
    State state() const;
    // Hide Active, hide Down, show Normal.
    void toRest();

  signals:
    void hovered();
    void pressedDown();
    void releasedUp();

  private:
    void onMoved(const QString& picture);
    void onPressed(const QString& picture);
    void onReleased(const QString& picture);

    QString base_;
};

} // namespace tavelin::gui
