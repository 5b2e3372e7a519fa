#pragma once

#include <memory>

#include "data/connection.h"
#include "data/data_source.h"
#include "data/field.h"
#include "data/table_dataset.h"
#include "writable_database.h"

// A writable database's Employees in a table dataset named as the table
// window names its own ("ADOTable"), with a data source over it; open() reads
// the rows.
class BoundEmployees {
 public:
  explicit BoundEmployees(const DatabaseKind& kind) : m_database(kind.make()) {
    connection.setObjectName("ADOConnection");
    connection.setConnectionString(m_database->connectionString());
    connection.open();
    table.setObjectName("ADOTable");
    table.setConnection(&connection);
    table.setTableName("Employees");
    source.setDataset(&table);
  }

  void open() { table.open(); }
  WritableDatabase& database() const { return *m_database; }
  int column(const char* name) const { return table.fieldByName(name).index(); }
  QString text(const char* name) const { return table.fieldByName(name).text(); }

 private:
  std::unique_ptr<WritableDatabase> m_database;

 public:
  tabrix::Connection connection;
  tabrix::TableDataset table;
  tabrix::DataSource source;
};
