#pragma once

#include <QString>
#include <utility>
#include <variant>
#include <vector>

#include "data/cell.h"
#include "data/dataset.h"
#include "data/driver.h"

// A dataset of the columns and rows a test gives, read without a database:
// the report sees it as it sees a query's rows.
class ListDataset : public tabrix::Dataset {
 public:
  using Row = std::vector<tabrix::Cell>;

  ListDataset(std::vector<tabrix::ColumnInfo> columns, std::vector<Row> rows)
      : tabrix::Dataset(nullptr), m_columns(std::move(columns)), m_rows(std::move(rows)) {
    setObjectName("ADOQuery");
  }

  static tabrix::ColumnInfo integer(const QString& name) { return column(name, tabrix::DataType::Integer); }
  static tabrix::ColumnInfo text(const QString& name, int size) {
    return column(name, tabrix::DataType::VarWChar, size);
  }
  static tabrix::ColumnInfo longText(const QString& name) { return column(name, tabrix::DataType::LongVarWChar); }
  static tabrix::ColumnInfo boolean(const QString& name) { return column(name, tabrix::DataType::Boolean); }
  static tabrix::ColumnInfo column(const QString& name, tabrix::DataType type, int size = 0) {
    tabrix::ColumnInfo info;
    info.name = name;
    info.type = type;
    info.size = size;
    return info;
  }

 protected:
  void read(tabrix::RowSink& sink) override {
    sink.begin({m_columns, {}, {}, m_rows.size()});
    for (const Row& row : m_rows) {
      for (int i = 0; i < static_cast<int>(row.size()); ++i) {
        std::visit(
            [&](const auto& value) {
              using T = std::decay_t<decltype(value)>;
              if constexpr (std::is_same_v<T, std::monostate>)
                sink.setNull(i);
              else if constexpr (std::is_same_v<T, bool>)
                sink.setBoolean(i, value);
              else if constexpr (std::is_same_v<T, std::int64_t>)
                sink.setInteger(i, value);
              else if constexpr (std::is_same_v<T, double>)
                sink.setReal(i, value);
              else if constexpr (std::is_same_v<T, tabrix::Guid>)
                sink.setGuid(i, value);
              else if constexpr (std::is_same_v<T, QString>)
                sink.setText(i, std::u16string_view(reinterpret_cast<const char16_t*>(value.utf16()), value.size()));
              else
                sink.setBytes(i, std::as_bytes(std::span(value.constData(), value.size())));
            },
            row[i]);
      }
      sink.endRow();
    }
  }

 private:
  std::vector<tabrix::ColumnInfo> m_columns;
  std::vector<Row> m_rows;
};
