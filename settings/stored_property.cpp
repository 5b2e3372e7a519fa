#include "settings/stored_property.h"

#include <QMetaObject>
#include <QObject>

#include "settings/settings_store.h"

namespace tabrix {

namespace {

bool storable(const QMetaProperty& property) {
  switch (property.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::Bool:
    case QMetaType::Int:
      return property.isReadable() && property.isWritable();
    default:
      return false;
  }
}

}  // namespace

StoredProperty::StoredProperty(QObject& component, QMetaProperty property, QString key)
    : m_component(&component), m_property(property), m_key(std::move(key)) {}

std::optional<StoredProperty> StoredProperty::resolve(QObject& window, const QString& entry) {
  const qsizetype dot = entry.indexOf(u'.');
  if (dot < 0) return std::nullopt;
  const QString componentName = entry.left(dot).trimmed();
  const QString propertyName = entry.mid(dot + 1).trimmed();
  if (componentName.isEmpty() || propertyName.isEmpty()) return std::nullopt;

  QObject* component = window.findChild<QObject*>(componentName);
  if (!component) return std::nullopt;
  const QMetaObject* meta = component->metaObject();
  for (int i = 0; i < meta->propertyCount(); ++i) {
    const QMetaProperty property = meta->property(i);
    if (QString::fromLatin1(property.name()).compare(propertyName, Qt::CaseInsensitive) == 0 && storable(property))
      return StoredProperty(*component, property, componentName + u'_' + propertyName);
  }
  return std::nullopt;
}

void StoredProperty::save(SettingsStore& store, const QString& storagePath) const {
  if (!m_component) return;
  const QVariant value = m_property.read(m_component);
  const QString path = storagePath + m_key;
  switch (m_property.metaType().id()) {
    case QMetaType::Bool:
      store.WriteBoolean(path, value.toBool());
      break;
    case QMetaType::Int:
      store.WriteInteger(path, value.toInt());
      break;
    default:
      store.WriteString(path, value.toString());
      break;
  }
}

void StoredProperty::restore(const SettingsStore& store, const QString& storagePath) const {
  const QString path = storagePath + m_key;
  if (!m_component || !store.ValueStored(path)) return;
  const QVariant current = m_property.read(m_component);
  switch (m_property.metaType().id()) {
    case QMetaType::Bool:
      m_property.write(m_component, store.ReadBoolean(path, current.toBool()));
      break;
    case QMetaType::Int:
      m_property.write(m_component, store.ReadInteger(path, current.toInt()));
      break;
    default:
      m_property.write(m_component, store.ReadString(path, current.toString()));
      break;
  }
}

}  // namespace tabrix
