#pragma once

#include <QMargins>
#include <QObject>
#include <optional>

class QWidget;

namespace tabrix {

// The frame a window manager puts around a top-level window: the margins
// between the window's outer rectangle and its client area in the window's
// normal state (neither minimized, maximized nor full screen). They are
// unknown until the window manager has placed the shown window; `changed`
// tells when they become known and when they change.
class WindowFrame : public QObject {
  Q_OBJECT

 public:
  // The one watch of `window`, made on first use; it goes with the window.
  static WindowFrame& of(QWidget& window);

  // The margins in the normal state, as they are now or were last seen;
  // nothing until they are known.
  std::optional<QMargins> margins() const;

 signals:
  void changed(QMargins margins);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit WindowFrame(QWidget& window);
  std::optional<QMargins> current() const;

  QWidget& m_window;
  std::optional<QMargins> m_known;
  bool m_watchingHandle = false;
};

}  // namespace tabrix
