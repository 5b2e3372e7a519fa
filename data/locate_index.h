#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "data/driver.h"

namespace tabrix {

class RowStore;

// The rows of a dataset sorted by one column's values, ascending, for
// locate. Built once per column and kept until the rows change: a search is
// then a binary search. Among equal values the earlier position comes first.
// Nulls are left out. Refers to the store and order it was built from.
class LocateIndex {
 public:
  LocateIndex(const RowStore& store, const std::vector<std::uint32_t>& order, int column);

  // The position (in `order`) of the first row, in ascending order of the
  // column, whose value matches: text columns by a case-insensitive prefix,
  // others by equality with the text read as the column's type. Nothing when
  // no row matches or the text can't be compared with the column.
  std::optional<int> find(const QString& text, const QLocale& locale = QLocale()) const;

 private:
  enum class Kind { Text, Signed, Unsigned, Real, Decimal, Moment, Boolean, Guid, None };

  const RowStore& m_store;
  const std::vector<std::uint32_t>& m_order;
  int m_column;
  ColumnInfo m_info;
  Kind m_kind = Kind::None;
  std::vector<std::uint32_t> m_positions;  // sorted
  std::vector<double> m_decimals;          // per position: decimal columns compare as numbers
};

}  // namespace tabrix
