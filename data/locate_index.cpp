#include "data/locate_index.h"

#include <QChar>
#include <algorithm>
#include <array>
#include <cstring>

#include "data/date_time.h"
#include "data/row_store.h"
#include "data/value_parse.h"

namespace tabrix {

namespace {

// Case folding of every UTF-16 unit, looked up instead of computed: sorting
// a million texts folds each character many times.
const std::array<char16_t, 65536>& foldTable() {
  static const std::array<char16_t, 65536> table = [] {
    std::array<char16_t, 65536> t{};
    for (std::uint32_t c = 0; c < t.size(); ++c) t[c] = static_cast<char16_t>(QChar::toCaseFolded(static_cast<char16_t>(c)));
    return t;
  }();
  return table;
}

inline char16_t folded(char16_t c) { return foldTable()[c]; }

// Texts compare by their case-folded UTF-16 units, the same way for sorting,
// searching and matching a prefix, so the three agree.
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

bool foldedStartsWith(QStringView text, QStringView prefix) {
  if (prefix.size() > text.size()) return false;
  return foldedCompare(text.left(prefix.size()), prefix) == 0;
}

// Four folded units from `from` on, in an order that agrees with
// foldedCompare: a text that runs out sorts first.
std::uint64_t prefixKey(QStringView text, qsizetype from) {
  std::uint64_t key = 0;
  for (qsizetype i = from; i < from + 4; ++i) {
    key <<= 16;
    if (i < text.size()) key |= folded(text[i].unicode());
  }
  return key;
}

// Sorts positions by a key per position, equal keys by position.
template <typename Key, typename KeyOf>
void sortByKey(std::vector<std::uint32_t>& positions, KeyOf keyOf) {
  std::vector<std::pair<Key, std::uint32_t>> keyed;
  keyed.reserve(positions.size());
  for (std::uint32_t p : positions) keyed.emplace_back(keyOf(p), p);
  std::sort(keyed.begin(), keyed.end());
  for (std::size_t i = 0; i < keyed.size(); ++i) positions[i] = keyed[i].second;
}

}  // namespace

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
  switch (m_kind) {
    case Kind::Text: {
      // Sorted by the first eight folded characters, held beside the
      // positions so that the sort doesn't reach into the texts; then each
      // run of equal beginnings by the whole texts, equal texts by position.
      struct Keyed {
        std::uint64_t head;
        std::uint64_t next;
        std::uint32_t position;
        std::uint32_t length;
      };
      std::vector<Keyed> keyed;
      keyed.reserve(m_positions.size());
      for (std::uint32_t p : m_positions) {
        const QStringView text = m_store.text(row(p), m_column);
        keyed.push_back({prefixKey(text, 0), prefixKey(text, 4), p, static_cast<std::uint32_t>(text.size())});
      }
      std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        if (a.head != b.head) return a.head < b.head;
        if (a.next != b.next) return a.next < b.next;
        return a.position < b.position;
      });
      for (auto run = keyed.begin(); run != keyed.end();) {
        auto end = run + 1;
        bool identical = run->length <= 8;
        while (end != keyed.end() && end->head == run->head && end->next == run->next) {
          identical = identical && end->length == run->length;
          ++end;
        }
        // Texts of up to eight characters with equal keys and lengths are
        // equal, and already in position order.
        if (end - run > 1 && !identical) {
          std::stable_sort(run, end, [&](const Keyed& a, const Keyed& b) {
            return foldedCompare(m_store.text(row(a.position), m_column), m_store.text(row(b.position), m_column)) < 0;
          });
        }
        run = end;
      }
      for (std::size_t i = 0; i < keyed.size(); ++i) m_positions[i] = keyed[i].position;
      break;
    }
    case Kind::Signed:
      sortByKey<std::int64_t>(m_positions, [&](std::uint32_t p) { return m_store.integer(row(p), m_column); });
      break;
    case Kind::Unsigned:
      sortByKey<std::uint64_t>(m_positions,
                               [&](std::uint32_t p) { return static_cast<std::uint64_t>(m_store.integer(row(p), m_column)); });
      break;
    case Kind::Real:
      sortByKey<double>(m_positions, [&](std::uint32_t p) { return m_store.real(row(p), m_column); });
      break;
    case Kind::Decimal:
      m_decimals.resize(order.size());
      for (std::uint32_t p : m_positions) m_decimals[p] = m_store.text(row(p), m_column).toDouble();
      sortByKey<double>(m_positions, [&](std::uint32_t p) { return m_decimals[p]; });
      break;
    case Kind::Moment:
      sortByKey<std::int64_t>(m_positions, [&](std::uint32_t p) { return msSinceEpoch(m_store.real(row(p), m_column)); });
      break;
    case Kind::Boolean:
      sortByKey<bool>(m_positions, [&](std::uint32_t p) { return m_store.boolean(row(p), m_column); });
      break;
    case Kind::Guid:
      sortByKey<Guid>(m_positions, [&](std::uint32_t p) { return m_store.guid(row(p), m_column); });
      break;
    case Kind::None:
      break;
  }
}

std::optional<int> LocateIndex::find(const QString& text, const QLocale& locale) const {
  if (m_kind == Kind::None || m_positions.empty()) return std::nullopt;
  const auto row = [&](std::uint32_t position) { return m_order[position]; };

  if (m_kind == Kind::Text) {
    // Values starting with the text sit together, from the first value not
    // below it; equal values are in position order.
    const auto it = std::lower_bound(m_positions.begin(), m_positions.end(), text, [&](std::uint32_t p, const QString& t) {
      return foldedCompare(m_store.text(row(p), m_column), t) < 0;
    });
    if (it == m_positions.end() || !foldedStartsWith(m_store.text(row(*it), m_column), text)) return std::nullopt;
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
