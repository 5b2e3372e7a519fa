#include "data/table_dataset.h"

#include "data/driver.h"

namespace tabrix {

TableDataset::TableDataset(QObject* parent) : Dataset(parent) {}

void TableDataset::setTableName(const QString& name) {
  requireInactive();
  m_tableName = name;
}

QString TableDataset::bareName(const QString& name) {
  if (name.size() >= 2 && name.startsWith(QChar('[')) && name.endsWith(QChar(']'))) return name.mid(1, name.size() - 2);
  return name;
}

void TableDataset::read(RowSink& sink) {
  if (m_tableName.isEmpty()) fail(QStringLiteral("Missing TableName property"));
  driver().readTable(bareName(m_tableName), sink);
}

}  // namespace tabrix
