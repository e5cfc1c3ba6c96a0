#pragma once

#include <QString>
#include <functional>
#include <vector>

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
    // One remembered value: its key, what a first start reads, and how it reaches and leaves
    // the window. Loading goes through the list in order (a drive before its folder).
    struct Entry {
        const char* key;
        QString fallback;
        std::function<void(const QString& stored)> load;
        std::function<QString()> save;
    };
    std::vector<Entry> entries(const QString& sourceDefault, const QString& destinationDefault);

    QSettings& settings_;
    MainControls& c_;
    MainState& state_;
};

} // namespace tavelin::gui
