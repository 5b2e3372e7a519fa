#pragma once

#include "data/dataset.h"

namespace tabrix {

// Every row and column of one table. The owner names it ("ADOTable").
class TableDataset : public Dataset {
  Q_OBJECT

 public:
  explicit TableDataset(QObject* parent = nullptr);

  QString tableName() const { return m_tableName; }
  // DatabaseError while open.
  void setTableName(const QString& name);

  // The name as it goes to the driver, bare: a name typed in brackets
  // ("[Order Details]") means the one inside them.
  static QString bareName(const QString& name);

 protected:
  void read(RowSink& sink) override;

 private:
  QString m_tableName;
};

}  // namespace tabrix
