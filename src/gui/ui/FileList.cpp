#include "gui/ui/FileList.h"

#include "core/copy/WildcardPattern.h"

#include <QDir>

namespace tavelin::gui {

FileList::FileList(QWidget* parent) : QListWidget(parent) {}

void FileList::setPattern(const QString& pattern) {
    pattern_ = pattern;
    fill();
}

void FileList::setPath(const QString& path) {
    path_ = path;
    fill();
}

void FileList::fill() {
    clear();
    if (path_.isEmpty()) {
        return;
    }
    const WildcardPattern pattern(pattern_.toStdString());
    const auto names = QDir(path_).entryList(QDir::Files | QDir::Hidden | QDir::System,
                                             QDir::Name | QDir::IgnoreCase);
    for (const auto& name : names) {
        if (pattern.matches(name.toStdString())) {
            addItem(name);
        }
    }
}

} // namespace tavelin::gui
