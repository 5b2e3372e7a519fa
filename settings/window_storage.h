#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "settings/stored_property.h"

class QWidget;

namespace tabrix {

class SettingsStore;
class WindowPlacement;

// A window's binding to its section of the settings store. On the window's
// first showing it restores the window's placement and stored properties;
// when a request to close the window arrives it saves them, and when it is
// destroyed without having saved it saves them then. Every storage, with a
// store or without, keeps its window from being made smaller than its
// minimum outer size.
//
// Make it a member of the window, so that it goes before the window's
// controls: it reads them when it saves. The store must outlive it, and it
// must not outlive the window. Every window of this program accepts a
// request to close, so the storage saves as the request arrives, before the
// window's own close handler runs.
class WindowStorage : public QObject {
  Q_OBJECT

 public:
  // `store` may be null: the storage then reads and writes nothing.
  WindowStorage(QWidget& window, SettingsStore* store, QSize minTrackSize);
  ~WindowStorage() override;

  // The section path, "MAIN\" or "%FORM_NAME%\": "%FORM_NAME%" stands for
  // the window's object name as it is now, and a backslash is appended when
  // the path does not end with one. Fixed from then on.
  const QString& AppStoragePath() const { return m_appStoragePath; }
  void setAppStoragePath(const QString& path);

  // The stored properties, each "component.Property" (see StoredProperty),
  // resolved against the window's controls as they are now: set them once
  // the controls exist. Entries that resolve to nothing are dropped.
  QStringList StoredProps() const;
  void setStoredProps(const QStringList& entries);

  // Run at the end of a restore that went through.
  void setAfterRestorePlacement(std::function<void()> callback) { m_afterRestorePlacement = std::move(callback); }

  int MinTrackWidth() const { return m_minTrackSize.width(); }
  int MinTrackHeight() const { return m_minTrackSize.height(); }

  // Restores the placement and the stored properties, then runs
  // AfterRestorePlacement; nothing without a store, and nothing of a
  // section whose "FormVersion" is negative. Throws when "FormVersion" or a
  // placement value is no integer, and what AfterRestorePlacement throws.
  void RestoreFormPlacement();
  // Writes "FormVersion" 0, then, once a restore went through, the
  // placement and the stored properties.
  void SaveFormPlacement();

  bool restored() const { return m_restored; }
  bool saved() const { return m_saved; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& m_window;
  SettingsStore* m_store;
  QSize m_minTrackSize;
  WindowPlacement* m_placement;
  QString m_appStoragePath;
  std::vector<StoredProperty> m_storedProps;
  std::function<void()> m_afterRestorePlacement;
  bool m_restored = false;
  bool m_saved = false;
  bool m_shown = false;
};

}  // namespace tabrix
