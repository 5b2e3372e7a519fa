#include "data/query_dataset.h"

#include "data/driver.h"

namespace tabrix {

QueryDataset::QueryDataset(QObject* parent) : Dataset(parent) {}

void QueryDataset::setSql(const QStringList& lines) { m_sql = lines; }

QString QueryDataset::commandText() const {
  QString text;
  for (const QString& line : m_sql) text += line + QStringLiteral("\r\n");
  return text;
}

void QueryDataset::execute() {
  if (m_sql.isEmpty()) fail(QStringLiteral("Missing SQL property"));
  driver().execute(commandText());
}

void QueryDataset::read(RowSink& sink) {
  if (m_sql.isEmpty()) fail(QStringLiteral("Missing SQL property"));
  if (!driver().readQuery(commandText(), sink)) fail(QStringLiteral("CommandText does not return a result set"));
}

}  // namespace tabrix
