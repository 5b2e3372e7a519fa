#pragma once

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "data/connection.h"
#include "data/driver.h"

namespace tabrix {

// One table of a FakeDatabase: its columns (key and bookmarks as a driver
// would announce them) and its rows, each with a bookmark where the table
// has them.
struct FakeTable {
  ResultInfo info;
  std::vector<std::vector<Cell>> rows;
  std::vector<Bookmark> bookmarks;
};

// A write a driver was asked for.
struct FakeWrite {
  QString operation;  // "update", "delete", "insert"
  QString table;
  std::optional<Bookmark> bookmark;
  std::vector<ColumnValue> original;
  std::vector<ColumnValue> values;
};

// Rows held by the test, served through drivers made by factory(), which
// can fail on demand. A driver finds a row to change by its bookmark where
// the table has them, else by the original values, and in both cases
// requires the original values to hold, as real drivers do. The database
// outlives the connections and drivers it serves, so a test can look at it
// after they are gone.
class FakeDatabase {
 public:
  std::map<QString, FakeTable> tables;
  std::vector<QString> tablesRead;  // the names readTable() was given
  std::vector<FakeWrite> writes;    // the writes asked for, failed ones too

  // The next call of this operation ("connect", "catalogue", "readTable",
  // "update", "delete", "insert") fails with a ProviderError "Fake failure",
  // a read only after handing over failAfterRows rows.
  std::optional<QString> failing;
  std::size_t failAfterRows = 0;

  // Called as a driver is destroyed.
  std::function<void()> onDriverDestroyed;

  DriverFactory factory();

  // Throws the fake failure when `operation` is the one to fail.
  void failIf(const QString& operation);
};

// A table of the given columns, all writable (base column = name), the
// first `keyColumns` of them its key.
FakeTable fakeTable(const QString& name, const std::vector<std::pair<QString, DataType>>& columns, int keyColumns = 0,
                    bool bookmarks = true);

}  // namespace tabrix
