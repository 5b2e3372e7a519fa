#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace tabrix {

// Keeps a window from being made smaller than a minimum outer size: frame
// and title bar included, in pixels, not scaled with the screen's pixels
// per inch. The window's own minimum size is kept at the outer size less
// the frame the window system gives it, and follows that frame as it
// becomes known.
class MinimumWindowSize : public QObject {
  Q_OBJECT

 public:
  // Watches the window, which owns this object.
  MinimumWindowSize(QWidget& window, QSize outer);

  QSize outer() const { return m_outer; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void apply();

  QWidget& m_window;
  QSize m_outer;
};

}  // namespace tabrix
