#include "fake_driver.h"

#include <algorithm>

#include "data/errors.h"

namespace tabrix {

namespace {

void send(RowSink& sink, int column, const Cell& cell) {
  std::visit(
      [&](const auto& value) {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, std::monostate>)
          sink.setNull(column);
        else if constexpr (std::is_same_v<T, bool>)
          sink.setBoolean(column, value);
        else if constexpr (std::is_same_v<T, std::int64_t>)
          sink.setInteger(column, value);
        else if constexpr (std::is_same_v<T, double>)
          sink.setReal(column, value);
        else if constexpr (std::is_same_v<T, Guid>)
          sink.setGuid(column, value);
        else if constexpr (std::is_same_v<T, QString>)
          sink.setText(column, std::u16string_view(reinterpret_cast<const char16_t*>(value.utf16()), value.size()));
        else
          sink.setBytes(column, std::span(reinterpret_cast<const std::byte*>(value.data()), value.size()));
      },
      cell);
}

void sendRow(RowSink& sink, const FakeTable& table, std::size_t row) {
  for (std::size_t c = 0; c < table.rows[row].size(); ++c) send(sink, static_cast<int>(c), table.rows[row][c]);
  if (table.info.bookmarks) sink.setBookmark(table.bookmarks[row]);
  sink.endRow();
}

int columnIndex(const FakeTable& table, const QString& name) {
  const auto& columns = table.info.columns;
  const auto it = std::find_if(columns.begin(), columns.end(), [&](const ColumnInfo& c) { return c.baseColumn == name; });
  if (it == columns.end()) throw ProviderError(QStringLiteral("Fake table has no column %1").arg(name));
  return static_cast<int>(it - columns.begin());
}

bool holds(const FakeTable& table, std::size_t row, const std::vector<ColumnValue>& original) {
  return std::all_of(original.begin(), original.end(), [&](const ColumnValue& v) {
    return table.rows[row][columnIndex(table, v.column)] == v.value;
  });
}

class FakeDriver : public Driver {
 public:
  explicit FakeDriver(FakeDatabase& database) : m_database(database) {}
  ~FakeDriver() override {
    if (m_database.onDriverDestroyed) m_database.onDriverDestroyed();
  }

  std::vector<CatalogueRow> catalogue() override {
    m_database.failIf(QStringLiteral("catalogue"));
    std::vector<CatalogueRow> rows;
    for (const auto& [name, table] : m_database.tables) rows.push_back({QStringLiteral("TABLE"), name});
    return rows;
  }

  void readTable(const QString& name, RowSink& sink) override {
    m_database.tablesRead.push_back(name);
    const FakeTable& t = table(name);
    sink.begin(t.info);
    for (std::size_t row = 0; row < t.rows.size(); ++row) {
      if (row == m_database.failAfterRows) m_database.failIf(QStringLiteral("readTable"));
      sendRow(sink, t, row);
    }
    m_database.failIf(QStringLiteral("readTable"));  // asked to fail after the last row
  }

  bool readQuery(const QString&, RowSink&) override { throw ProviderError(QStringLiteral("Fake driver runs no SQL")); }
  void execute(const QString&) override { throw ProviderError(QStringLiteral("Fake driver runs no SQL")); }

  void updateRow(const QString& name, std::optional<Bookmark> bookmark, const std::vector<ColumnValue>& original,
                 const std::vector<ColumnValue>& values) override {
    m_database.writes.push_back({QStringLiteral("update"), name, bookmark, original, values});
    m_database.failIf(QStringLiteral("update"));
    FakeTable& t = table(name);
    const std::size_t row = find(t, bookmark, original);
    for (const ColumnValue& v : values) t.rows[row][columnIndex(t, v.column)] = v.value;
  }

  void deleteRow(const QString& name, std::optional<Bookmark> bookmark,
                 const std::vector<ColumnValue>& original) override {
    m_database.writes.push_back({QStringLiteral("delete"), name, bookmark, original, {}});
    m_database.failIf(QStringLiteral("delete"));
    FakeTable& t = table(name);
    const std::size_t row = find(t, bookmark, original);
    t.rows.erase(t.rows.begin() + static_cast<std::ptrdiff_t>(row));
    if (t.info.bookmarks) t.bookmarks.erase(t.bookmarks.begin() + static_cast<std::ptrdiff_t>(row));
  }

  bool insertRow(const QString& name, const std::vector<ColumnValue>& values, const ResultInfo& info,
                 RowSink& readBack) override {
    m_database.writes.push_back({QStringLiteral("insert"), name, std::nullopt, {}, values});
    m_database.failIf(QStringLiteral("insert"));
    FakeTable& t = table(name);
    std::vector<Cell> row(t.info.columns.size());
    for (const ColumnValue& v : values) row[columnIndex(t, v.column)] = v.value;
    t.rows.push_back(row);
    if (t.info.bookmarks)
      t.bookmarks.push_back(t.bookmarks.empty() ? 0x100 : *std::max_element(t.bookmarks.begin(), t.bookmarks.end()) + 1);
    readBack.begin(info);
    sendRow(readBack, t, t.rows.size() - 1);
    return true;
  }

 private:
  FakeTable& table(const QString& name) {
    const auto it = m_database.tables.find(name);
    if (it == m_database.tables.end()) throw ProviderError(QStringLiteral("Fake database has no table %1").arg(name));
    return it->second;
  }

  static std::size_t find(const FakeTable& t, std::optional<Bookmark> bookmark, const std::vector<ColumnValue>& original) {
    const QString gone = QStringLiteral("Row cannot be located for updating");
    if (t.info.bookmarks) {
      if (!bookmark) throw ProviderError(QStringLiteral("Fake driver was given no bookmark"));
      const auto it = std::find(t.bookmarks.begin(), t.bookmarks.end(), *bookmark);
      if (it == t.bookmarks.end()) throw ProviderError(gone);
      const auto row = static_cast<std::size_t>(it - t.bookmarks.begin());
      if (!holds(t, row, original)) throw ProviderError(gone);
      return row;
    }
    std::vector<std::size_t> matches;
    for (std::size_t row = 0; row < t.rows.size(); ++row)
      if (holds(t, row, original)) matches.push_back(row);
    if (matches.size() != 1) throw ProviderError(matches.empty() ? gone : QStringLiteral("Too many rows match"));
    return matches.front();
  }

  FakeDatabase& m_database;
};

}  // namespace

DriverFactory FakeDatabase::factory() {
  return [this](const QString&, const std::optional<Credentials>&) -> std::unique_ptr<Driver> {
    failIf(QStringLiteral("connect"));
    return std::make_unique<FakeDriver>(*this);
  };
}

void FakeDatabase::failIf(const QString& operation) {
  if (failing != operation) return;
  failing.reset();
  throw ProviderError(QStringLiteral("Fake failure"));
}

FakeTable fakeTable(const QString& name, const std::vector<std::pair<QString, DataType>>& columns, int keyColumns,
                    bool bookmarks) {
  FakeTable table;
  table.info.table = name;
  table.info.bookmarks = bookmarks;
  for (const auto& [column, type] : columns) {
    ColumnInfo info;
    info.name = column;
    info.baseColumn = column;
    info.type = type;
    info.size = 50;
    table.info.columns.push_back(info);
  }
  for (int k = 0; k < keyColumns; ++k) table.info.key.push_back(k);
  return table;
}

}  // namespace tabrix
