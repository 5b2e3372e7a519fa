#include "data/table_dataset.h"

#include "data/driver.h"

namespace tabrix {

TableDataset::TableDataset(QObject* parent) : Dataset(parent) {}

void TableDataset::setTableName(const QString& name) {
  requireInactive();
  m_tableName = name;
}

QString TableDataset::sentName(const QString& name) {
  const bool bracket = name.contains(QChar(' ')) && !name.startsWith(QChar('[')) && !name.contains(QChar('.')) &&
                       !name.contains(QChar(';'));
  return bracket ? QChar('[') + name + QChar(']') : name;
}

void TableDataset::read(RowSink& sink) {
  if (m_tableName.isEmpty()) fail(QStringLiteral("Missing TableName property"));
  driver().readTable(sentName(m_tableName), sink);
}

}  // namespace tabrix
