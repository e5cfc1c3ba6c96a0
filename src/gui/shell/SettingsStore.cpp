#include "gui/shell/SettingsStore.h"

#include "gui/shell/MainState.h"
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
std::optional<int> readShort(const QSettings& s, const char* key, const char* fallback) {
    bool ok = false;
    const int v = s.value(key, fallback).toString().trimmed().toInt(&ok);
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

} // namespace

void SettingsStore::loadSettings(const QString& sourceDefault, const QString& destinationDefault) {
    settings_.beginGroup("Defaults");
    applyIndex(c_.Drive1, readShort(settings_, "Drive1Index", "1"), false);
    applyIndex(c_.Drive2, readShort(settings_, "Drive2Index", "1"), false);
    c_.Dir1->setPath(settings_.value("Dir1Path", sourceDefault).toString());
    c_.Dir2->setPath(settings_.value("Dir2Path", destinationDefault).toString());
    applyIndex(c_.cboUpdateRate, readShort(settings_, "cboUpdateRateIndex", "0"), true);
    // A typed daily time is no row of the list: it is kept as text.
    const QString typedRate = settings_.value("cboUpdateRateText", QString()).toString();
    if (c_.cboUpdateRate->currentIndex() == -1 && !typedRate.isEmpty()) {
        c_.cboUpdateRate->setEditText(typedRate);
    }
    applyCheck(c_.optCopySubFolder, readShort(settings_, "optCopySubFolderValue", "0"));
    applyCheck(c_.CheStart, readShort(settings_, "AutoStartUp", "1"));
    applyCheck(c_.UNCPathDestTrue, readShort(settings_, "UNCPathDestTrue", "0"));
    c_.UNCDestination->setText(settings_.value("UNCDestination", QString()).toString());
    state_.keepVersions = readShort(settings_, "KeepVersions", "0").value_or(0) == 1;
    settings_.endGroup();
}

void SettingsStore::saveSettings() {
    settings_.beginGroup("Defaults");
    settings_.setValue("Drive1Index", QString::number(c_.Drive1->currentIndex()));
    settings_.setValue("Drive2Index", QString::number(c_.Drive2->currentIndex()));
    settings_.setValue("Dir1Path", c_.Dir1->path());
    settings_.setValue("Dir2Path", c_.Dir2->path());
    settings_.setValue("cboUpdateRateIndex", QString::number(listIndex(c_.cboUpdateRate)));
    settings_.setValue("cboUpdateRateText",
                       listIndex(c_.cboUpdateRate) == -1 ? c_.cboUpdateRate->currentText() : "");
    settings_.setValue("optCopySubFolderValue", c_.optCopySubFolder->isChecked() ? "1" : "0");
    settings_.setValue("AutoStartUp", c_.CheStart->isChecked() ? "1" : "0");
    settings_.setValue("UNCPathDestTrue", c_.UNCPathDestTrue->isChecked() ? "1" : "0");
    settings_.setValue("UNCDestination", c_.UNCDestination->text());
    settings_.setValue("KeepVersions", state_.keepVersions ? "1" : "0");
    settings_.endGroup();
    settings_.sync();
}

} // namespace tavelin::gui
