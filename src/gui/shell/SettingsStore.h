#pragma once

#include <QString>

class QSettings;

namespace tavelin::gui {

struct MainControls;
struct MainState;

// The nine remembered values (and "KeepVersions" and a typed update time beside them),
// application "Tavelin", section "Defaults". Each loaded value is
// assigned as a user's change would be, so the controls' change handlers run. A value that
// cannot be applied keeps the control as it was, and loading goes on.
class SettingsStore {
  public:
    SettingsStore(QSettings& settings, MainControls& controls, MainState& state)
        : settings_(settings), c_(controls), state_(state) {}

    // `sourceDefault` and `destinationDefault`: the folders of a first start.
    void loadSettings(const QString& sourceDefault, const QString& destinationDefault);
    void saveSettings();

  private:
    QSettings& settings_;
    MainControls& c_;
    MainState& state_;
};

} // namespace tavelin::gui
