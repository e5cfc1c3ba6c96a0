#pragma once

#include "core/util/Error.h"

#include <string>

namespace tavelin {

// The login entry that starts the program with the desktop session: on Linux the desktop's
// autostart file $XDG_CONFIG_HOME/autostart/Tavelin.desktop (~/.config/autostart by default).
class AutostartEntry {
  public:
    // `configHome` is $XDG_CONFIG_HOME, or ~/.config when that is not set.
    explicit AutostartEntry(std::string configHome);

    // Writes the entry for the program's full path, with no arguments (written atomically).
    Result<void> add(const std::string& programPath) const;
    Result<void> remove() const;
    bool exists() const;
    std::string filePath() const;

    // The program path as the Exec key needs it: quoted where the desktop-entry format asks.
    static std::string execValue(const std::string& programPath);

  private:
    std::string configHome_;
};

} // namespace tavelin
