#include "gui/tray/TrayController.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace tavelin::gui {

TrayController::TrayController(bool available, QObject* parent)
    : QObject(parent), available_(available) {
    menu_ = new QMenu("File");
    menu_->setObjectName("Mnu_File");
    QAction* show = menu_->addAction("Show");
    show->setObjectName("MnuShow");
    menu_->addSeparator()->setObjectName("MnuBar");
    QAction* exit = menu_->addAction("Exit");
    exit->setObjectName("MnuExit");
    connect(show, &QAction::triggered, this, &TrayController::showRequested);
    connect(exit, &QAction::triggered, this, &TrayController::exitRequested);
}

TrayController::~TrayController() {
    removeTrayIcon();
    delete menu_;
}

void TrayController::addTrayIcon(const QIcon& icon) {
    if (!available_ || icon_ != nullptr) {
        return;
    }
    icon_ = new QSystemTrayIcon(icon, this);
    icon_->setToolTip("Brenvik - Tavelin");
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick) {
            emit showRequested();
        }
    });
    icon_->show();
}

void TrayController::removeTrayIcon() {
    if (icon_ != nullptr) {
        icon_->hide();
        delete icon_;
        icon_ = nullptr;
    }
}

void TrayController::notify(const QString& title, const QString& text) {
    lastNotice_ = title + ": " + text;
    ++noticeCount_;
    if (icon_ != nullptr) {
        icon_->showMessage(title, text, QSystemTrayIcon::Warning);
    }
}

} // namespace tavelin::gui
