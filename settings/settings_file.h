#pragma once

#include <QString>

namespace tabrix {

// Where this program keeps its settings: "tabrix.ini" in the executable's
// folder; where that folder can't be written (a system-wide installation),
// in the user's configuration folder, $XDG_CONFIG_HOME/tabrix or by default
// ~/.config/tabrix, so that each user's settings still last.
QString settingsFilePath(const QString& executableFolder);

}  // namespace tabrix
