#pragma once

#include <QStringList>

#include "data/dataset.h"

namespace tabrix {

// The rows of an SQL statement. The owner names it ("ADOQuery"). The
// statement is kept as lines; each goes to the database ended by CR LF.
class QueryDataset : public Dataset {
  Q_OBJECT

 public:
  explicit QueryDataset(QObject* parent = nullptr);

  QStringList sql() const { return m_sql; }
  void setSql(const QStringList& lines);
  void clearSql() { m_sql.clear(); }
  void addSql(const QString& line) { m_sql.append(line); }

  // The lines as sent: each ended by CR LF.
  QString commandText() const;

  // Runs the statement expecting no rows; the dataset itself stays as it is.
  // DatabaseError "Missing SQL property" without lines.
  void execute();

 protected:
  // DatabaseError "Missing SQL property" without lines, and "CommandText
  // does not return a result set" when the statement, carried out, gave no
  // rows.
  void read(RowSink& sink) override;

 private:
  QStringList m_sql;
};

}  // namespace tabrix
