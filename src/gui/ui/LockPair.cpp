#include "gui/ui/LockPair.h"

#include "gui/ui/Skin.h"

namespace tavelin::gui {

LockPair::LockPair(QWidget* parent) : PictureStack(parent) {
    setObjectName("cmdLockPair");
    using F = Skin::Face;
    addPicture("cmdUnlockNormal", Skin::button("Unlock", F::Normal));
    addPicture("cmdUnlockDown", Skin::button("Unlock", F::Down));
    addPicture("cmdUnlockActive", Skin::button("Unlock", F::Active));
    addPicture("cmdLockActive", Skin::button("Lock", F::Active));
    addPicture("cmdLockDown", Skin::button("Lock", F::Down));
    addPicture("cmdLockNormal", Skin::button("Lock", F::Normal));
    connect(this, &PictureStack::moved, this, &LockPair::onMoved);
    connect(this, &PictureStack::pressed, this, &LockPair::onPressed);
    connect(this, &PictureStack::released, this, &LockPair::onReleased);
    acceptKeyboard();
    connect(this, &PictureStack::keyActivated, this, [this] {
        emit toggleRequested();
        emit releasedUp();
    });
}

void LockPair::set(std::initializer_list<std::pair<const char*, bool>> steps) {
    for (const auto& [name, shown] : steps) {
        setShown(name, shown);
    }
}

void LockPair::toRest(bool unlocked) {
    if (unlocked) {
        set({{"cmdLockActive", false},
             {"cmdLockDown", false},
             {"cmdLockNormal", true},
             {"cmdUnlockActive", false},
             {"cmdUnlockDown", false},
             {"cmdUnlockNormal", false}});
    } else {
        set({{"cmdUnlockActive", false},
             {"cmdUnlockDown", false},
             {"cmdUnlockNormal", true},
             {"cmdLockActive", false},
             {"cmdLockDown", false},
             {"cmdLockNormal", false}});
    }
}

void LockPair::onMoved(const QString& picture) {
    if (picture == "cmdLockNormal") {
        set({{"cmdLockActive", true}, {"cmdLockDown", false}, {"cmdLockNormal", false}});
    } else if (picture == "cmdUnlockNormal") {
        set({{"cmdUnlockActive", true}, {"cmdUnlockDown", false}, {"cmdUnlockNormal", false}});
    } else {
        return;
    }
    emit hovered();
}

void LockPair::onPressed(const QString& picture) {
    if (picture == "cmdLockActive") {
        set({{"cmdLockActive", false},
             {"cmdLockDown", false},
             {"cmdUnlockActive", false},
             {"cmdUnlockDown", true}});
    } else if (picture == "cmdUnlockActive") {
        set({{"cmdUnlockActive", false},
             {"cmdUnlockDown", false},
             {"cmdLockActive", false},
             {"cmdLockDown", true}});
    } else {
        return;
    }
    emit toggleRequested();
}

void LockPair::onReleased(const QString& picture) {
    if (picture == "cmdLockActive") {
        set({{"cmdUnlockNormal", false},
             {"cmdUnlockDown", true},
             {"cmdLockNormal", false},
             {"cmdLockDown", false}});
    } else if (picture == "cmdUnlockActive") {
        set({{"cmdUnlockNormal", false},
             {"cmdUnlockDown", false},
             {"cmdLockNormal", false},
             {"cmdLockDown", true}});
    } else {
        return;
    }
    emit releasedUp();
}

} // namespace tavelin::gui
