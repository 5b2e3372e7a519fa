#pragma once

#include <QMetaProperty>
#include <QPointer>
#include <QString>
#include <optional>

class QObject;

namespace tabrix {

class SettingsStore;

// One stored property of a window: a component of the window, found by its
// object name, and one of its Qt properties, named as the settings key
// spells it. "fn.FileName" is the property fileName of the component named
// fn, stored under the key "fn_FileName"; "CheckBox_NoPAD.Checked" a check
// box's checked state.
class StoredProperty {
 public:
  // The entry "component.Property", cut at its first "." and trimmed.
  // Nothing when a part is empty, when the window has no component of that
  // name, or when the component has no such property (compared without
  // regard to case) of a kind the settings file holds: text, yes/no or an
  // integer.
  static std::optional<StoredProperty> resolve(QObject& window, const QString& entry);

  const QString& key() const { return m_key; }

  // Writes the property's value under `storagePath` and the key; an empty
  // text too.
  void save(SettingsStore& store, const QString& storagePath) const;
  // Assigns the stored value, when the section holds the key. Throws when
  // that value can't be read as the property's kind; a value the component
  // refuses leaves it as it was.
  void restore(const SettingsStore& store, const QString& storagePath) const;

 private:
  StoredProperty(QObject& component, QMetaProperty property, QString key);

  QPointer<QObject> m_component;
  QMetaProperty m_property;
  QString m_key;
};

}  // namespace tabrix
