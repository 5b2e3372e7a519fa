#pragma once

#include <QObject>
#include <optional>

#include "settings/placement_rules.h"

class QWidget;

namespace tabrix {

// A top-level window's placement on Qt: the record read from the window and
// applied to it. The normal rectangle is the window's outer rectangle on the
// desktop, frame included; a rectangle applied while the window manager's
// frame is still unknown gets its size right once the frame is known.
// Qt keeps no minimized or maximized positions: they read as -1 and are not
// applied.
class WindowPlacement : public QObject {
  Q_OBJECT

 public:
  // Lives as long as `window` or less.
  explicit WindowPlacement(QWidget& window);

  // The display the window's placement is saved on and restored to.
  static Display display();

  PlacementRecord record() const;
  // Places the window at the record's normal rectangle and keeps its flags
  // for show(); best called before the window is displayed.
  void apply(const PlacementRecord& record);
  // Puts the window into `state`. A minimized application window opens
  // normal and is minimized right after it has been shown.
  void show(ShowState state, bool applicationWindow);

 private:
  // Sets the outer rectangle `edges` around a window framed by `frame`.
  void place(const Edges& edges, QMargins frame);

  QWidget& m_window;
  int m_flags = 0;
  std::optional<Edges> m_pending;
};

}  // namespace tabrix
