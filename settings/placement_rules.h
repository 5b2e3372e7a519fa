#pragma once

#include <QPoint>
#include <QSize>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

namespace tabrix {

class SettingsStore;

// Show states as the settings file writes them.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;
// A placement flag: a minimized window comes back maximized.
constexpr int kRestoreToMaximized = 2;

// A window's four edges; right and bottom lie just past the window.
struct Edges {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool operator==(const Edges&) const = default;
};

// A top-level window's placement: its show state, flags, the positions it
// takes minimized and maximized, and its outer rectangle in the normal
// state, in desktop pixels.
struct PlacementRecord {
  int showCmd = kShowNormal;
  int flags = 0;
  QPoint minimizedPosition{-1, -1};
  QPoint maximizedPosition{-1, -1};
  Edges normal;

  bool operator==(const PlacementRecord&) const = default;
};

// The screens a placement is saved on and restored to: their logical pixels
// per inch, the size of the desktop spanning every monitor, and each
// monitor's rectangle.
struct Display {
  int pixelsPerInch = 96;
  QSize desktop;
  std::vector<QRect> monitors;
};

// The suffix of the keys saved on a desktop of that size: "(1920x1080)".
QString desktopSuffix(QSize desktop);

// Writes "ShowCmd", "Flags", "PixelsPerInch", then "MinMaxPos" and
// "NormPos", each first with the desktop-size suffix and then without,
// under `storagePath`.
void savePlacement(SettingsStore& store, const QString& storagePath, const PlacementRecord& record,
                   const Display& display);

// The record to apply from the stored "Flags", positions and rectangle,
// given the window's `current` record: nothing when neither positions nor a
// rectangle are stored, or when the rectangle doesn't fit `display` (saved
// at other pixels per inch, right not past left, its top-left corner or its
// bottom-right pixel on no monitor). Throws when "Flags" or "PixelsPerInch"
// is no integer.
std::optional<PlacementRecord> storedPlacement(const SettingsStore& store, const QString& storagePath,
                                               const PlacementRecord& current, const Display& display);

enum class ShowState { Normal, Minimized, Maximized };

// The show state stored under "ShowCmd" (`currentShowCmd` when none): 2, 6
// and 7 are minimized, 3 maximized, anything else normal. Throws when it is
// no integer.
ShowState storedShowState(const SettingsStore& store, const QString& storagePath, int currentShowCmd);

}  // namespace tabrix
