#include "data/locate.h"

#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <cmath>

#include "data/date_time.h"
#include "data/row_store.h"
#include "data/value_parse.h"

namespace tabrix {

namespace {

// Case folding of every UTF-16 unit, looked up instead of computed: a search
// folds the first character of every row.
const std::array<char16_t, 65536>& foldTable() {
  static const std::array<char16_t, 65536> table = [] {
    std::array<char16_t, 65536> t{};
    for (std::uint32_t c = 0; c < t.size(); ++c) t[c] = static_cast<char16_t>(QChar::toCaseFolded(static_cast<char16_t>(c)));
    return t;
  }();
  return table;
}

// Texts are ordered by their case-folded UTF-16 units; a text that runs out
// comes first.
int foldedCompare(QStringView a, QStringView b) {
  const auto& fold = foldTable();
  const qsizetype n = std::min(a.size(), b.size());
  const char16_t* x = a.utf16();
  const char16_t* y = b.utf16();
  for (qsizetype i = 0; i < n; ++i) {
    if (x[i] == y[i]) continue;
    const char16_t fx = fold[x[i]];
    const char16_t fy = fold[y[i]];
    if (fx != fy) return fx < fy ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The first in folded order of the texts beginning with `text`; equal texts
// keep the earliest.
std::optional<int> firstText(const RowStore& store, const std::vector<std::uint32_t>& order, int column,
                             const QString& text) {
  const auto& fold = foldTable();
  QVarLengthArray<char16_t, 64> prefix;
  for (QChar c : text) prefix.append(fold[c.unicode()]);
  const qsizetype length = prefix.size();
  std::optional<int> best;
  QStringView bestText;
  for (std::size_t position = 0; position < order.size(); ++position) {
    const std::uint32_t row = order[position];
    if (store.isNull(row, column)) continue;
    const QStringView value = store.text(row, column);
    if (value.size() < length) continue;
    const char16_t* units = value.utf16();
    qsizetype i = 0;
    while (i < length && fold[units[i]] == prefix[i]) ++i;
    if (i < length) continue;
    if (!best || foldedCompare(value, bestText) < 0) {
      best = static_cast<int>(position);
      bestText = value;
    }
  }
  return best;
}

// Values of any other type that match are equal, so the first of them in
// the rows' order is the one.
template <typename Matches>
std::optional<int> firstMatch(const RowStore& store, const std::vector<std::uint32_t>& order, int column,
                              Matches matches) {
  for (std::size_t position = 0; position < order.size(); ++position) {
    const std::uint32_t row = order[position];
    if (!store.isNull(row, column) && matches(row)) return static_cast<int>(position);
  }
  return std::nullopt;
}

// An exact decimal as sign, whole digits without leading zeros and decimals
// without trailing zeros, so that equal numbers have equal parts ("-0.50"
// and "-.5"; "0" and "-0.0"). Nothing for text in another form.
struct DecimalParts {
  bool negative = false;
  QStringView whole;
  QStringView fraction;

  bool operator==(const DecimalParts&) const = default;
};

std::optional<DecimalParts> decimalParts(QStringView text) {
  text = text.trimmed();
  DecimalParts parts;
  if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
    parts.negative = text.front() == u'-';
    text = text.sliced(1);
  }
  const qsizetype point = text.indexOf(u'.');
  QStringView whole = point < 0 ? text : text.first(point);
  QStringView fraction = point < 0 ? QStringView() : text.sliced(point + 1);
  if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
  for (QStringView digits : {whole, fraction})
    for (QChar c : digits)
      if (c < u'0' || c > u'9') return std::nullopt;
  while (!whole.isEmpty() && whole.front() == u'0') whole = whole.sliced(1);
  while (!fraction.isEmpty() && fraction.back() == u'0') fraction.chop(1);
  parts.whole = whole;
  parts.fraction = fraction;
  if (whole.isEmpty() && fraction.isEmpty()) parts.negative = false;
  return parts;
}

// Decimals are equal as numbers: exactly where both are plain decimals, as
// doubles where one is in another form.
bool sameDecimal(QStringView value, const std::optional<DecimalParts>& wanted, double wantedDouble) {
  if (wanted) {
    const std::optional<DecimalParts> parts = decimalParts(value);
    if (parts) return *parts == *wanted;
  }
  bool ok = false;
  const double number = value.toDouble(&ok);
  return ok && number == wantedDouble;
}

}  // namespace

std::optional<int> locatePosition(const RowStore& store, const std::vector<std::uint32_t>& order, int column,
                                  const QString& text, const QLocale& locale) {
  const ColumnInfo& info = store.info().columns.at(column);
  const ValueKind kind = valueKind(info.type);
  if (kind == ValueKind::Bytes) return std::nullopt;
  if (kind == ValueKind::Text && !isDecimalType(info.type)) return firstText(store, order, column, text);

  Cell wanted;
  try {
    wanted = parseValue(text, info, locale);
  } catch (const ValueError&) {
    return std::nullopt;
  }
  if (isNull(wanted)) return std::nullopt;

  switch (kind) {
    case ValueKind::Integer:
    case ValueKind::Currency: {
      // An unsigned 64-bit value keeps its bits: equal bits, equal values.
      const std::int64_t target = std::get<std::int64_t>(wanted);
      return firstMatch(store, order, column, [&](std::uint32_t row) { return store.integer(row, column) == target; });
    }
    case ValueKind::Real: {
      double target = std::get<double>(wanted);
      // A Single holds only what a float can: compare at that precision.
      if (info.type == DataType::Single) target = static_cast<float>(target);
      return firstMatch(store, order, column, [&](std::uint32_t row) { return store.real(row, column) == target; });
    }
    case ValueKind::DateTime: {
      // Moments compare to the millisecond; values two days apart or more
      // can't be the same moment, which spares most rows the conversion.
      const double days = std::get<double>(wanted);
      const std::int64_t target = msSinceEpoch(days);
      return firstMatch(store, order, column, [&](std::uint32_t row) {
        const double value = store.real(row, column);
        return std::fabs(value - days) < 2 && msSinceEpoch(value) == target;
      });
    }
    case ValueKind::Boolean: {
      const bool target = std::get<bool>(wanted);
      return firstMatch(store, order, column, [&](std::uint32_t row) { return store.boolean(row, column) == target; });
    }
    case ValueKind::Guid: {
      const Guid target = std::get<Guid>(wanted);
      return firstMatch(store, order, column, [&](std::uint32_t row) { return store.guid(row, column) == target; });
    }
    case ValueKind::Text: {
      const QString& target = std::get<QString>(wanted);
      const std::optional<DecimalParts> parts = decimalParts(target);
      const double number = target.toDouble();
      return firstMatch(store, order, column,
                        [&](std::uint32_t row) { return sameDecimal(store.text(row, column), parts, number); });
    }
    case ValueKind::Bytes:
      break;
  }
  return std::nullopt;
}

}  // namespace tabrix
