#include "data/connection_string.h"

#include "data/errors.h"

namespace tabrix {

namespace {

const QString kMalformed =
    QStringLiteral("The connection string is malformed: every piece must be a name, \"=\" and a value, and a quoted value must be closed");

}  // namespace

ConnectionString ConnectionString::parse(const QString& text) {
  ConnectionString result;
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n) {
    qsizetype eq = text.indexOf(QChar('='), i);
    qsizetype semicolon = text.indexOf(QChar(';'), i);
    if (semicolon >= 0 && (eq < 0 || semicolon < eq)) {
      // An empty piece ("a=b;;c=d" or trailing blanks) is allowed; anything
      // else without "=" is not.
      if (!text.mid(i, semicolon - i).trimmed().isEmpty()) throw ProviderError(kMalformed);
      i = semicolon + 1;
      continue;
    }
    if (eq < 0) {
      if (!text.mid(i).trimmed().isEmpty()) throw ProviderError(kMalformed);
      break;
    }
    QString key = text.mid(i, eq - i).trimmed();
    i = eq + 1;
    while (i < n && text[i] == QChar(' ')) ++i;
    QString value;
    if (i < n && (text[i] == QChar('"') || text[i] == QChar('\''))) {
      const QChar quote = text[i++];
      for (;;) {
        if (i >= n) throw ProviderError(kMalformed);
        if (text[i] == quote) {
          if (i + 1 < n && text[i + 1] == quote) {
            value += quote;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += text[i++];
      }
      while (i < n && text[i] == QChar(' ')) ++i;
      if (i < n && text[i] != QChar(';')) throw ProviderError(kMalformed);
    } else {
      qsizetype end = text.indexOf(QChar(';'), i);
      if (end < 0) end = n;
      value = text.mid(i, end - i).trimmed();
      i = end;
    }
    if (i < n) ++i;  // the ";"
    if (key.isEmpty()) throw ProviderError(kMalformed);
    result.m_pairs.emplace_back(key, value);
  }
  return result;
}

std::optional<QString> ConnectionString::value(const QString& key) const {
  for (auto it = m_pairs.rbegin(); it != m_pairs.rend(); ++it)
    if (it->first.compare(key, Qt::CaseInsensitive) == 0) return it->second;
  return std::nullopt;
}

QString loginUserName(const QString& connectionString) {
  static const QString kKey = QStringLiteral("USER ID=");
  const qsizetype at = connectionString.indexOf(kKey, 0, Qt::CaseInsensitive);
  if (at < 0) return {};
  const qsizetype start = at + kKey.size();
  const qsizetype end = connectionString.indexOf(QChar(';'), start);
  return connectionString.mid(start, end < 0 ? -1 : end - start);
}

}  // namespace tabrix
