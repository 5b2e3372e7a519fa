#include "settings/settings_store.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <stdexcept>

#include "settings/file_replace.h"
#include "settings/integer_text.h"

namespace tabrix {

namespace {

const QString kTrueWords = QStringLiteral("TRUE, YES, Y");
const QString kFalseWords = QStringLiteral("FALSE, NO, N");

// A settings file is a few kilobytes; anything far larger is not one (or
// never ends, like a device).
constexpr qint64 kLargestFile = 16 << 20;

struct SectionAndKey {
  QString section;
  QString key;
};

SectionAndKey split(const QString& path) {
  QString collapsed;
  for (QChar c : path)
    if (c != u'\\' || (!collapsed.isEmpty() && collapsed.back() != u'\\')) collapsed += c;
  const qsizetype last = collapsed.lastIndexOf(u'\\');
  if (last < 0) return {QString(), collapsed};
  return {collapsed.left(last), collapsed.mid(last + 1)};
}

bool isWord(const QString& value, const QString& words) {
  for (const QString& word : words.split(u','))
    if (value.compare(word.trimmed(), Qt::CaseInsensitive) == 0) return true;
  return false;
}

QString firstWord(const QString& words) { return words.section(u',', 0, 0).trimmed(); }

int integerValue(const QString& value) {
  if (value.isEmpty()) return 0;
  if (const auto number = parseInteger(value)) return *number;
  throw std::runtime_error(QStringLiteral("'%1' is not a valid integer value").arg(value).toStdString());
}

[[noreturn]] void cannotOpen(const QString& fileName, const QString& reason) {
  throw std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason).toStdString());
}

}  // namespace

SettingsStore::SettingsStore(QString fileName) : m_fileName(std::move(fileName)) {}

SettingsStore::~SettingsStore() { Flush(); }

void SettingsStore::Reload() {
  m_document = IniDocument();
  m_encoding = TextEncoding::Ansi;
  m_readOnly = false;
  if (m_fileName.isEmpty() || !QFileInfo::exists(m_fileName)) return;

  const QFileInfo info(m_fileName);
  m_readOnly = true;
  QFile file(m_fileName);
  if (!file.open(QIODevice::ReadOnly)) cannotOpen(m_fileName, file.errorString());
  const QByteArray bytes = file.read(kLargestFile + 1);
  if (file.error() != QFileDevice::NoError) cannotOpen(m_fileName, file.errorString());
  if (bytes.size() > kLargestFile) cannotOpen(m_fileName, QStringLiteral("It is too large for a settings file."));

  DecodedText decoded = decodeText(bytes);
  m_document = IniDocument::parse(decoded.text);
  m_encoding = decoded.encoding;
  m_readOnly = !info.permission(QFileDevice::WriteOwner) || !info.isWritable();
}

const QString* SettingsStore::stored(const QString& path) const {
  const SectionAndKey where = split(path);
  return m_document.value(where.section, where.key);
}

bool SettingsStore::ValueStored(const QString& path) const { return stored(path) != nullptr; }

QString SettingsStore::ReadString(const QString& path, const QString& defaultValue) const {
  const QString* value = stored(path);
  return value ? *value : defaultValue;
}

int SettingsStore::ReadInteger(const QString& path, int defaultValue) const {
  const QString* value = stored(path);
  return value ? integerValue(*value) : defaultValue;
}

bool SettingsStore::ReadBoolean(const QString& path, bool defaultValue) const {
  const QString* value = stored(path);
  if (!value) return defaultValue;
  if (isWord(*value, kTrueWords)) return true;
  if (isWord(*value, kFalseWords)) return false;
  return integerValue(*value) != 0;
}

void SettingsStore::WriteString(const QString& path, const QString& value) {
  if (m_readOnly) return;
  const SectionAndKey where = split(path);
  m_document.setValue(where.section, where.key, value);
}

void SettingsStore::WriteInteger(const QString& path, int value) { WriteString(path, QString::number(value)); }

void SettingsStore::WriteBoolean(const QString& path, bool value) {
  WriteString(path, firstWord(value ? kTrueWords : kFalseWords));
}

void SettingsStore::Flush() noexcept {
  if (m_fileName.isEmpty() || m_readOnly) return;
  try {
    const QString text = m_document.text();
    // A name the code page lacks a character of would come back damaged;
    // UTF-8 with its mark keeps it, and reads back the same.
    const TextEncoding encoding =
        m_encoding == TextEncoding::Ansi && !ansiHolds(text) ? TextEncoding::Utf8 : m_encoding;
    replaceFile(m_fileName, encodeText(text, encoding));
  } catch (...) {
    // The settings of this run are lost; the file stays as it was.
  }
}

}  // namespace tabrix
