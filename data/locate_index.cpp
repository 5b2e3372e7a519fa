#include "data/locate_index.h"

#include <algorithm>
#include <cstring>

#include "data/date_time.h"
#include "data/row_store.h"
#include "data/value_parse.h"

namespace tabrix {

LocateIndex::LocateIndex(const RowStore& store, const std::vector<std::uint32_t>& order, int column)
    : m_store(store), m_order(order), m_column(column), m_info(store.info().columns.at(column)) {
  const DataType type = m_info.type;
  switch (valueKind(type)) {
    case ValueKind::Text:
      m_kind = isDecimalType(type) ? Kind::Decimal : Kind::Text;
      break;
    case ValueKind::Integer:
      m_kind = type == DataType::UnsignedBigInt ? Kind::Unsigned : Kind::Signed;
      break;
    case ValueKind::Currency:
      m_kind = Kind::Signed;
      break;
    case ValueKind::Real:
      m_kind = Kind::Real;
      break;
    case ValueKind::DateTime:
      m_kind = Kind::Moment;
      break;
    case ValueKind::Boolean:
      m_kind = Kind::Boolean;
      break;
    case ValueKind::Guid:
      m_kind = Kind::Guid;
      break;
    case ValueKind::Bytes:
      m_kind = Kind::None;
      break;
  }
  if (m_kind == Kind::None) return;

  m_positions.reserve(order.size());
  for (std::uint32_t position = 0; position < order.size(); ++position)
    if (!store.isNull(order[position], column)) m_positions.push_back(position);

  const auto row = [&](std::uint32_t position) { return m_order[position]; };
  if (m_kind == Kind::Decimal) {
    m_decimals.resize(order.size());
    for (std::uint32_t position : m_positions)
      m_decimals[position] = store.text(row(position), column).toDouble();
  }

  switch (m_kind) {
    case Kind::Text:
      std::stable_sort(m_positions.begin(), m_positions.end(), [&](std::uint32_t a, std::uint32_t b) {
        return m_store.text(row(a), m_column).compare(m_store.text(row(b), m_column), Qt::CaseInsensitive) < 0;
      });
      break;
    case Kind::Signed:
      std::stable_sort(m_positions.begin(), m_positions.end(), [&](std::uint32_t a, std::uint32_t b) {
        return m_store.integer(row(a), m_column) < m_store.integer(row(b), m_column);
      });
      break;
    case Kind::Unsigned:
      std::stable_sort(m_positions.begin(), m_positions.end(), [&](std::uint32_t a, std::uint32_t b) {
        return static_cast<std::uint64_t>(m_store.integer(row(a), m_column)) <
               static_cast<std::uint64_t>(m_store.integer(row(b), m_column));
      });
      break;
    case Kind::Real:
      std::stable_sort(m_positions.begin(), m_positions.end(), [&](std::uint32_t a, std::uint32_t b) {
        return m_store.real(row(a), m_column) < m_store.real(row(b), m_column);
      });
      break;
    case Kind::Decimal:
      std::stable_sort(m_positions.begin(), m_positions.end(),
                       [&](std::uint32_t a, std::uint32_t b) { return m_decimals[a] < m_decimals[b]; });
      break;
    case Kind::Moment:
      std::stable_sort(m_positions.begin(), m_positions.end(), [&](std::uint32_t a, std::uint32_t b) {
        return msSinceEpoch(m_store.real(row(a), m_column)) < msSinceEpoch(m_store.real(row(b), m_column));
      });
      break;
    case Kind::Boolean:
      std::stable_sort(m_positions.begin(), m_positions.end(), [&](std::uint32_t a, std::uint32_t b) {
        return m_store.boolean(row(a), m_column) < m_store.boolean(row(b), m_column);
      });
      break;
    case Kind::Guid:
      std::stable_sort(m_positions.begin(), m_positions.end(), [&](std::uint32_t a, std::uint32_t b) {
        return m_store.guid(row(a), m_column) < m_store.guid(row(b), m_column);
      });
      break;
    case Kind::None:
      break;
  }
}

std::optional<int> LocateIndex::find(const QString& text, const QLocale& locale) const {
  if (m_kind == Kind::None || m_positions.empty()) return std::nullopt;
  const auto row = [&](std::uint32_t position) { return m_order[position]; };

  if (m_kind == Kind::Text) {
    // Values starting with the text sit together, right from the first value
    // not below it.
    const auto it = std::lower_bound(m_positions.begin(), m_positions.end(), text, [&](std::uint32_t p, const QString& t) {
      return m_store.text(row(p), m_column).compare(t, Qt::CaseInsensitive) < 0;
    });
    if (it == m_positions.end() || !m_store.text(row(*it), m_column).startsWith(text, Qt::CaseInsensitive))
      return std::nullopt;
    return static_cast<int>(*it);
  }

  Cell wanted;
  try {
    wanted = parseValue(text, m_info, locale);
  } catch (const ValueError&) {
    return std::nullopt;
  }
  if (isNull(wanted)) return std::nullopt;

  auto firstEqual = [&](auto valueAt, auto target) -> std::optional<int> {
    const auto it = std::lower_bound(m_positions.begin(), m_positions.end(), target,
                                     [&](std::uint32_t p, const auto& t) { return valueAt(p) < t; });
    if (it == m_positions.end() || valueAt(*it) != target) return std::nullopt;
    return static_cast<int>(*it);
  };

  switch (m_kind) {
    case Kind::Signed:
      return firstEqual([&](std::uint32_t p) { return m_store.integer(row(p), m_column); },
                        std::get<std::int64_t>(wanted));
    case Kind::Unsigned:
      return firstEqual([&](std::uint32_t p) { return static_cast<std::uint64_t>(m_store.integer(row(p), m_column)); },
                        static_cast<std::uint64_t>(std::get<std::int64_t>(wanted)));
    case Kind::Real: {
      double target = std::get<double>(wanted);
      // A Single holds only what a float can: compare at that precision.
      if (m_info.type == DataType::Single) target = static_cast<float>(target);
      return firstEqual([&](std::uint32_t p) { return m_store.real(row(p), m_column); }, target);
    }
    case Kind::Decimal:
      return firstEqual([&](std::uint32_t p) { return m_decimals[p]; }, std::get<QString>(wanted).toDouble());
    case Kind::Moment:
      return firstEqual([&](std::uint32_t p) { return msSinceEpoch(m_store.real(row(p), m_column)); },
                        msSinceEpoch(std::get<double>(wanted)));
    case Kind::Boolean:
      return firstEqual([&](std::uint32_t p) { return m_store.boolean(row(p), m_column); }, std::get<bool>(wanted));
    case Kind::Guid:
      return firstEqual([&](std::uint32_t p) { return m_store.guid(row(p), m_column); }, std::get<Guid>(wanted));
    default:
      return std::nullopt;
  }
}

}  // namespace tabrix
