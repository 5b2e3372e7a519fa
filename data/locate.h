#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tabrix {

class RowStore;

// What locate answers: the position (in `order`, the store's rows in display
// order) of the first row, in ascending order of the column's values, whose
// value matches the text — a text column's by a case-insensitive prefix,
// another's by equality with the text read as the column's type — and among
// equal values the earliest position. Nothing when no row matches or the
// text can't be compared with the column. Nulls never match.
//
// One pass over the rows answers it, with nothing built beforehand: a
// million rows take a few milliseconds, every keystroke alike.
std::optional<int> locatePosition(const RowStore& store, const std::vector<std::uint32_t>& order, int column,
                                  const QString& text, const QLocale& locale = QLocale());

}  // namespace tabrix
