#include "data/odbc_connection_string.h"

namespace tabrix {

namespace {

QString quoted(const QString& value) {
  const bool plain = !value.contains(QChar(';')) && !value.contains(QChar('{')) &&
                     !value.contains(QChar('}')) && value.trimmed() == value;
  if (plain) return value;
  QString escaped = value;
  escaped.replace(QStringLiteral("}"), QStringLiteral("}}"));
  return QChar('{') + escaped + QChar('}');
}

}  // namespace

OdbcConnectionString OdbcConnectionString::parse(const QString& text) {
  OdbcConnectionString result;
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n) {
    const qsizetype start = i;
    Attribute attribute;
    qsizetype eq = text.indexOf(QChar('='), i);
    qsizetype semicolon = text.indexOf(QChar(';'), i);
    if (eq < 0 || (semicolon >= 0 && semicolon < eq)) {
      const qsizetype end = semicolon < 0 ? n : semicolon;
      attribute.text = text.mid(start, end - start);
      if (!attribute.text.trimmed().isEmpty()) result.m_attributes.push_back(attribute);
      i = end + 1;
      continue;
    }
    attribute.key = text.mid(i, eq - i).trimmed();
    i = eq + 1;
    qsizetype firstNonBlank = i;
    while (firstNonBlank < n && text[firstNonBlank] == QChar(' ')) ++firstNonBlank;
    if (firstNonBlank < n && text[firstNonBlank] == QChar('{')) {
      i = firstNonBlank + 1;
      while (i < n) {
        if (text[i] == QChar('}')) {
          if (i + 1 < n && text[i + 1] == QChar('}')) {
            attribute.value += QChar('}');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        attribute.value += text[i++];
      }
      const qsizetype end = text.indexOf(QChar(';'), i);
      i = end < 0 ? n : end;
    } else {
      const qsizetype end = semicolon < 0 ? n : semicolon;
      attribute.value = text.mid(i, end - i).trimmed();
      i = end;
    }
    attribute.text = text.mid(start, i - start);
    result.m_attributes.push_back(attribute);
    ++i;  // the ";"
  }
  return result;
}

std::optional<QString> OdbcConnectionString::value(const QString& key) const {
  for (const Attribute& attribute : m_attributes)
    if (!attribute.key.isEmpty() && attribute.key.compare(key, Qt::CaseInsensitive) == 0) return attribute.value;
  return std::nullopt;
}

void OdbcConnectionString::set(const QString& key, const QString& value) {
  std::erase_if(m_attributes, [&](const Attribute& attribute) {
    return !attribute.key.isEmpty() && attribute.key.compare(key, Qt::CaseInsensitive) == 0;
  });
  m_attributes.push_back({key, value, key + QChar('=') + quoted(value)});
}

QString OdbcConnectionString::toString() const {
  QString text;
  for (const Attribute& attribute : m_attributes) text += attribute.text + QChar(';');
  return text;
}

}  // namespace tabrix
