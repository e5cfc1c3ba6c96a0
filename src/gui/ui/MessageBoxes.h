#pragma once

#include <QString>
#include <QStringList>
#include <deque>

class QWidget;

namespace tavelin::gui {

// Every message box of the program goes through here, so that tests can give the next answers
// instead of a person.
class MessageBoxes {
  public:
    enum class Icon { None, Critical, Exclamation, Information };
    enum Button { Ok = 1, Yes = 2, No = 4, Retry = 8, Cancel = 16 };

    virtual ~MessageBoxes() = default;

    // Shows a modal box and returns the button chosen. An empty title shows the program's title.
    // `defaultButton` is the one Enter chooses (0: the platform's choice).
    int show(Icon icon, const QString& title, const QString& text, int buttons,
             int defaultButton = 0);

    // Tests: the boxes shown so far, as "title|text", and answers for the next boxes.
    void queueAnswer(int button) { answers_.push_back(button); }
    const QStringList& shown() const { return shown_; }
    int lastDefaultButton() const { return lastDefault_; }
    void clearShown() { shown_.clear(); }
    void setParent(QWidget* parent) { parent_ = parent; }
    // Tests: with no answer queued, take the first button offered instead of asking a person.
    void setInteractive(bool interactive) { interactive_ = interactive; }

  private:
    std::deque<int> answers_;
    QStringList shown_;
    QWidget* parent_ = nullptr;
    bool interactive_ = true;
    int lastDefault_ = 0;
};

} // namespace tavelin::gui
