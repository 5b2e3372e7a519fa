#include "settings/window_storage.h"

#include <QEvent>
#include <QWidget>

#include "settings/settings_store.h"
#include "settings/window_placement.h"
#include "widgets/handler_guard.h"
#include "widgets/minimum_outer_size.h"

namespace tabrix {

namespace {

const QString kFormVersion = QStringLiteral("FormVersion");
const QString kFormNameMarker = QStringLiteral("%FORM_NAME%");

// The layout of the section this program writes.
constexpr int kFormVersionWritten = 0;

}  // namespace

WindowStorage::WindowStorage(QWidget& window, SettingsStore* store, QSize minTrackSize)
    : m_window(window), m_store(store), m_minTrackSize(minTrackSize), m_placement(new WindowPlacement(window)) {
  keepMinimumOuterSize(window, minTrackSize);
  window.installEventFilter(this);
}

WindowStorage::~WindowStorage() {
  if (!m_saved) runHandler([this] { SaveFormPlacement(); });
}

void WindowStorage::setAppStoragePath(const QString& path) {
  m_appStoragePath = QString(path).replace(kFormNameMarker, m_window.objectName());
  if (!m_appStoragePath.endsWith(u'\\')) m_appStoragePath += u'\\';
}

QStringList WindowStorage::StoredProps() const {
  QStringList entries;
  for (const StoredProperty& property : m_storedProps) entries << property.key();
  return entries;
}

void WindowStorage::setStoredProps(const QStringList& entries) {
  m_storedProps.clear();
  for (const QString& entry : entries)
    if (auto property = StoredProperty::resolve(m_window, entry)) m_storedProps.push_back(std::move(*property));
}

void WindowStorage::RestoreFormPlacement() {
  if (!m_store) return;
  m_saved = false;
  if (m_store->ReadInteger(m_appStoragePath + kFormVersion, kFormVersionWritten) >= 0) {
    const PlacementRecord current = m_placement->record();
    const Display display = WindowPlacement::display();
    if (const auto stored = storedPlacement(*m_store, m_appStoragePath, current, display)) m_placement->apply(*stored);
    m_placement->show(storedShowState(*m_store, m_appStoragePath, current.showCmd), !m_window.parentWidget());
    m_restored = true;
    for (const StoredProperty& property : m_storedProps) {
      try {
        property.restore(*m_store, m_appStoragePath);
      } catch (const std::exception&) {
        // A value that doesn't fit leaves the control as it was.
      }
    }
    if (m_afterRestorePlacement) m_afterRestorePlacement();
  }
  m_restored = true;
}

void WindowStorage::SaveFormPlacement() {
  if (!m_store) return;
  m_store->WriteInteger(m_appStoragePath + kFormVersion, kFormVersionWritten);
  if (m_restored) {
    savePlacement(*m_store, m_appStoragePath, m_placement->record(), WindowPlacement::display());
    for (const StoredProperty& property : m_storedProps) property.save(*m_store, m_appStoragePath);
  }
  m_saved = true;
}

bool WindowStorage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &m_window) {
    if (event->type() == QEvent::Show && !m_shown) {
      m_shown = true;
      runHandler([this] { RestoreFormPlacement(); });
    } else if (event->type() == QEvent::Close) {
      runHandler([this] { SaveFormPlacement(); });
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tabrix
