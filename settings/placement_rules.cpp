#include "settings/placement_rules.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <limits>

#include "settings/integer_text.h"
#include "settings/settings_store.h"

namespace tabrix {

namespace {

const QString kShowCmd = QStringLiteral("ShowCmd");
const QString kFlags = QStringLiteral("Flags");
const QString kPixelsPerInch = QStringLiteral("PixelsPerInch");
const QString kMinMaxPos = QStringLiteral("MinMaxPos");
const QString kNormPos = QStringLiteral("NormPos");

QString fourNumbers(int a, int b, int c, int d) { return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d); }

// Writes `value` under the key with the desktop-size suffix, then under the
// plain key.
void writeBoth(SettingsStore& store, const QString& path, const QString& suffix, const QString& value) {
  store.WriteString(path + suffix, value);
  store.WriteString(path, value);
}

// The words of the text stored under the key with the suffix when the
// section holds that key, even empty, else under the plain key; nothing
// when that text is empty or missing.
std::optional<QStringList> storedWords(const SettingsStore& store, const QString& path, const QString& suffix) {
  const QString text = store.ValueStored(path + suffix) ? store.ReadString(path + suffix, {})
                                                        : store.ReadString(path, {});
  if (text.isEmpty()) return std::nullopt;
  static const QRegularExpression separators(QStringLiteral("[, ]+"));
  return text.split(separators, Qt::SkipEmptyParts);
}

std::optional<int> word(const QStringList& words, qsizetype index) {
  return index < words.size() ? parseInteger(words[index]) : std::nullopt;
}

// A stored edge far off the desktop plus a size does not overflow; the
// result fails the checks all the same.
int clampedSum(int edge, qint64 length) {
  return static_cast<int>(std::clamp<qint64>(edge + length, std::numeric_limits<int>::min(),
                                             std::numeric_limits<int>::max()));
}

bool onAMonitor(qint64 x, qint64 y, const std::vector<QRect>& monitors) {
  for (const QRect& monitor : monitors)
    if (x >= monitor.left() && x <= monitor.right() && y >= monitor.top() && y <= monitor.bottom()) return true;
  return false;
}

}  // namespace

QString desktopSuffix(QSize desktop) {
  return QStringLiteral("(%1x%2)").arg(desktop.width()).arg(desktop.height());
}

void savePlacement(SettingsStore& store, const QString& storagePath, const PlacementRecord& record,
                   const Display& display) {
  const QString suffix = desktopSuffix(display.desktop);
  store.WriteInteger(storagePath + kShowCmd, record.showCmd);
  store.WriteInteger(storagePath + kFlags, record.flags);
  store.WriteInteger(storagePath + kPixelsPerInch, display.pixelsPerInch);
  writeBoth(store, storagePath + kMinMaxPos, suffix,
            fourNumbers(record.minimizedPosition.x(), record.minimizedPosition.y(), record.maximizedPosition.x(),
                        record.maximizedPosition.y()));
  const Edges& normal = record.normal;
  writeBoth(store, storagePath + kNormPos, suffix, fourNumbers(normal.left, normal.top, normal.right, normal.bottom));
}

std::optional<PlacementRecord> storedPlacement(const SettingsStore& store, const QString& storagePath,
                                               const PlacementRecord& current, const Display& display) {
  PlacementRecord record = current;
  record.flags = store.ReadInteger(storagePath + kFlags, current.flags);

  const QString suffix = desktopSuffix(display.desktop);
  const auto positions = storedWords(store, storagePath + kMinMaxPos, suffix);
  const auto rectangle = storedWords(store, storagePath + kNormPos, suffix);
  if (positions) {
    const QStringList& w = *positions;
    record.minimizedPosition = {word(w, 0).value_or(0), word(w, 1).value_or(0)};
    record.maximizedPosition = {word(w, 2).value_or(0), word(w, 3).value_or(0)};
  }
  if (rectangle) {
    const QStringList& w = *rectangle;
    const Edges& now = current.normal;
    Edges& edges = record.normal;
    edges.left = word(w, 0).value_or(now.left);
    edges.top = word(w, 1).value_or(now.top);
    edges.right = word(w, 2).value_or(clampedSum(edges.left, qint64{now.right} - now.left));
    edges.bottom = word(w, 3).value_or(clampedSum(edges.top, qint64{now.bottom} - now.top));
  }

  const int pixelsPerInch = store.ReadInteger(storagePath + kPixelsPerInch, display.pixelsPerInch);
  const Edges& edges = record.normal;
  const bool fits = pixelsPerInch == display.pixelsPerInch && edges.right > edges.left &&
                    onAMonitor(edges.left, edges.top, display.monitors) &&
                    onAMonitor(qint64{edges.right} - 1, qint64{edges.bottom} - 1, display.monitors);
  if ((!positions && !rectangle) || !fits) return std::nullopt;
  return record;
}

ShowState storedShowState(const SettingsStore& store, const QString& storagePath, int currentShowCmd) {
  switch (store.ReadInteger(storagePath + kShowCmd, currentShowCmd)) {
    case 2:
    case 6:
    case 7:
      return ShowState::Minimized;
    case 3:
      return ShowState::Maximized;
    default:
      return ShowState::Normal;
  }
}

}  // namespace tabrix
