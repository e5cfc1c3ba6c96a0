#include "gui/shell/SettingsStore.h"

#include "gui/selection/MainState.h"
#include "gui/ui/DirList.h"
#include "gui/ui/MainControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <limits>
#include <optional>

namespace tavelin::gui {

namespace {

// Stored positions and check-box values are 16-bit whole numbers written as decimal text.
std::optional<int> readShort(const QString& stored) {
    bool ok = false;
    const int v = stored.trimmed().toInt(&ok);
    if (!ok || v < std::numeric_limits<short>::min() || v > std::numeric_limits<short>::max()) {
        return std::nullopt;
    }
    return v;
}

void applyIndex(QComboBox* combo, std::optional<int> index, bool allowNone) {
    if (!index) {
        return;
    }
    if ((*index == -1 && allowNone) || (*index >= 0 && *index < combo->count())) {
        combo->setCurrentIndex(*index);
    }
}

void applyCheck(QCheckBox* box, std::optional<int> value) {
    if (value && (*value == 0 || *value == 1)) {
        box->setChecked(*value == 1);
    }
}

// The position of the chosen row; -1 when the text was typed and is no row of the list.
int listIndex(const QComboBox* combo) {
    const int i = combo->currentIndex();
    return (i >= 0 && combo->itemText(i) == combo->currentText()) ? i : -1;
}

QString flag(bool on) {
    return on ? "1" : "0";
}

} // namespace

std::vector<SettingsStore::Entry> SettingsStore::entries(const QString& sourceDefault,
                                                         const QString& destinationDefault) {
    const auto drive = [](const char* key, QComboBox* combo) {
        return Entry{key, "1",
                     [combo](const QString& v) { applyIndex(combo, readShort(v), false); },
                     [combo] { return QString::number(combo->currentIndex()); }};
    };
    const auto folder = [](const char* key, DirList* dir, const QString& fallback) {
        return Entry{key, fallback, [dir](const QString& v) { dir->setPath(v); },
                     [dir] { return dir->path(); }};
    };
    const auto check = [](const char* key, QCheckBox* box, const char* fallback) {
        return Entry{key, fallback, [box](const QString& v) { applyCheck(box, readShort(v)); },
                     [box] { return flag(box->isChecked()); }};
    };
    QComboBox* rate = c_.cboUpdateRate;
    QLineEdit* typed = c_.UNCDestination;
    return {
        drive("Drive1Index", c_.Drive1),
        drive("Drive2Index", c_.Drive2),
        folder("Dir1Path", c_.Dir1, sourceDefault),
        folder("Dir2Path", c_.Dir2, destinationDefault),
        {"cboUpdateRateIndex", "0",
         [rate](const QString& v) { applyIndex(rate, readShort(v), true); },
         [rate] { return QString::number(listIndex(rate)); }},
        // A typed daily time is no row of the list: it is kept as text.
        {"cboUpdateRateText", QString(),
         [rate](const QString& v) {
             if (rate->currentIndex() == -1 && !v.isEmpty()) {
                 rate->setEditText(v);
             }
         },
         [rate] { return listIndex(rate) == -1 ? rate->currentText() : QString(); }},
        check("optCopySubFolderValue", c_.optCopySubFolder, "0"),
        check("AutoStartUp", c_.CheStart, "1"),
        check("UNCPathDestTrue", c_.UNCPathDestTrue, "0"),
        {"UNCDestination", QString(), [typed](const QString& v) { typed->setText(v); },
         [typed] { return typed->text(); }},
        {"KeepVersions", "0",
         [this](const QString& v) { state_.keepVersions = readShort(v).value_or(0) == 1; },
         [this] { return flag(state_.keepVersions); }},
    };
}

void SettingsStore::loadSettings(const QString& sourceDefault, const QString& destinationDefault) {
    settings_.beginGroup("Defaults");
    for (const Entry& e : entries(sourceDefault, destinationDefault)) {
        e.load(settings_.value(e.key, e.fallback).toString());
    }
    settings_.endGroup();
}

void SettingsStore::saveSettings() {
    settings_.beginGroup("Defaults");
    for (const Entry& e : entries(QString(), QString())) {
        settings_.setValue(e.key, e.save());
    }
    settings_.endGroup();
    settings_.sync();
}

} // namespace tavelin::gui
