#include "gui/ui/DirList.h"

#include <QDir>
#include <QFileInfo>

namespace tavelin::gui {

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    // A double click or Enter opens the folder.
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item != nullptr) {
            setPath(item->data(Qt::UserRole).toString());
        }
    });
}

bool DirList::setPath(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    const QFileInfo info(clean);
    if (clean.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable()) {
        return false;
    }
    const bool changed = clean != path_;
    path_ = clean;
    fill();
    if (changed) {
        emit pathChanged();
    }
    return true;
}

void DirList::fill() {
    clear();
    QStringList parts = path_.split('/', Qt::SkipEmptyParts);
    QString at = "/";
    int depth = 0;
    auto add = [this](const QString& label, const QString& full, int indent, bool open) {
        auto* item =
            new QListWidgetItem(QString(indent * 2, ' ') + (open ? "\u25BE " : "\u25B8 ") + label);
        item->setData(Qt::UserRole, full);
        addItem(item);
        return item;
    };
    QListWidgetItem* current = add("/", "/", depth++, true);
    for (const auto& part : parts) {
        at = at == "/" ? "/" + part : at + "/" + part;
        current = add(part, at, depth++, true);
    }
    setCurrentItem(current);
    const QDir dir(path_);
    const auto subs =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                      QDir::Name | QDir::IgnoreCase);
    for (const auto& sub : subs) {
        add(sub, dir.filePath(sub), depth, false);
    }
}

} // namespace tavelin::gui
