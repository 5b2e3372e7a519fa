#pragma once

#include <QString>

#include "settings/ini_document.h"
#include "settings/text_encoding.h"

namespace tabrix {

// The settings file in memory. It is read whole once (Reload), every read
// and write in between works on the document, and it is written whole once,
// when the store goes (Flush).
//
// A path names a section and an entry: the text before its last backslash
// is the section, the text after it the entry ("MAIN\FormVersion"); leading
// backslashes are ignored and a run of them counts as one.
//
// A file that existed read-only is never changed, nor is one that could not
// be read: its text is unknown, so writing it would lose it.
class SettingsStore {
 public:
  // `fileName` empty: a store without a file; it reads and writes nothing.
  explicit SettingsStore(QString fileName = {});
  // Flushes.
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  const QString& fileName() const { return m_fileName; }
  bool readOnly() const { return m_readOnly; }
  TextEncoding encoding() const { return m_encoding; }

  // Reads the file into the document: none is an empty document. Throws,
  // "Cannot open file \"%s\". %s", when the file is there but can't be
  // read; the store then stays empty and read-only.
  void Reload();

  // Whether the path's section holds an entry of the path's name.
  bool ValueStored(const QString& path) const;
  // The stored value, or `defaultValue` when the entry is missing.
  QString ReadString(const QString& path, const QString& defaultValue) const;
  // An empty value reads as 0; one that is no integer throws "'%s' is not a
  // valid integer value".
  int ReadInteger(const QString& path, int defaultValue) const;
  // "TRUE", "YES", "Y" read as true and "FALSE", "NO", "N" as false, in any
  // case; anything else is read as an integer, 0 being false.
  bool ReadBoolean(const QString& path, bool defaultValue) const;

  // Create or replace the entry; nothing while the store is read-only.
  void WriteString(const QString& path, const QString& value);
  void WriteInteger(const QString& path, int value);
  // Writes "TRUE" or "FALSE".
  void WriteBoolean(const QString& path, bool value);

  // Writes the whole document to the file, in the encoding it was read in
  // (the ANSI code page for a new file). A failure is ignored: the run's
  // settings are lost, the file stays as it was.
  void Flush() noexcept;

 private:
  const QString* stored(const QString& path) const;

  QString m_fileName;
  IniDocument m_document;
  TextEncoding m_encoding = TextEncoding::Ansi;
  bool m_readOnly = false;
};

}  // namespace tabrix
