#include "data/locate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "data/date_time.h"
#include "data/row_store.h"
#include "data/value_parse.h"
#include "qt_printers.h"
#include "typed_column.h"

namespace tabrix {
namespace {

const QLocale kPolish(QLocale::Polish, QLocale::Poland);

QString folded(QStringView text) {
  QString result;
  for (QChar c : text) result += QChar(QChar::toCaseFolded(c.unicode()));
  return result;
}

// What locate answers, the plain way: every matching row, sorted by its
// value (texts by their folded units) and then by position, the first.
std::optional<int> model(const RowStore& store, const std::vector<std::uint32_t>& order, int c, const QString& text) {
  const ColumnInfo& info = store.info().columns[c];
  std::vector<int> matches;
  Cell wanted;
  const bool isText = valueKind(info.type) == ValueKind::Text && !isDecimalType(info.type);
  if (!isText) {
    try {
      wanted = parseValue(text, info, kPolish);
    } catch (const ValueError&) {
      return std::nullopt;
    }
    if (isNull(wanted) || valueKind(info.type) == ValueKind::Bytes) return std::nullopt;
  }
  for (int p = 0; p < static_cast<int>(order.size()); ++p) {
    const Cell value = store.cell(order[p], c);
    if (isNull(value)) continue;
    bool match = false;
    if (isText) {
      match = folded(std::get<QString>(value)).startsWith(folded(text));
    } else if (valueKind(info.type) == ValueKind::DateTime) {
      match = msSinceEpoch(std::get<double>(value)) == msSinceEpoch(std::get<double>(wanted));
    } else if (info.type == DataType::Single) {
      match = std::get<double>(value) == static_cast<float>(std::get<double>(wanted));
    } else if (isDecimalType(info.type)) {
      // Equal decimals differ only in zeros: compare them scaled to 30
      // decimals.
      const auto scaled = [](QString exact) {
        const bool negative = exact.startsWith('-');
        if (negative) exact.remove(0, 1);
        if (!exact.contains('.')) exact += '.';
        const qsizetype point = exact.indexOf('.');
        QString digits = exact.left(point) + exact.mid(point + 1).leftJustified(30, '0');
        while (digits.size() > 1 && digits.startsWith('0')) digits.remove(0, 1);
        return (negative && digits != "0" ? "-" : "") + digits;
      };
      match = scaled(std::get<QString>(value)) == scaled(std::get<QString>(wanted));
    } else {
      match = value == wanted;
    }
    if (match) matches.push_back(p);
  }
  if (matches.empty()) return std::nullopt;
  if (!isText) return matches.front();
  std::vector<std::pair<QString, int>> sorted;
  for (int p : matches) sorted.emplace_back(folded(store.text(order[p], c)), p);
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return sorted.front().second;
}

enum Column { kText, kInteger, kUnsigned, kCurrency, kDouble, kSingle, kMoment, kBoolean, kDecimal, kBinary };

RowStore storeOf(const std::vector<std::vector<Cell>>& rows) {
  ResultInfo info;
  info.columns = {typedColumn(DataType::VarWChar),       typedColumn(DataType::Integer),
                  typedColumn(DataType::UnsignedBigInt), typedColumn(DataType::Currency, 19, 4),
                  typedColumn(DataType::Double),         typedColumn(DataType::Single),
                  typedColumn(DataType::DBTimeStamp),    typedColumn(DataType::Boolean),
                  typedColumn(DataType::Numeric, 28, 4), typedColumn(DataType::VarBinary)};
  RowStore store;
  store.begin(info);
  for (const std::vector<Cell>& cells : rows) {
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
      const Cell& cell = cells[c];
      if (isNull(cell)) {
        store.setNull(c);
      } else if (const auto* b = std::get_if<bool>(&cell)) {
        store.setBoolean(c, *b);
      } else if (const auto* i = std::get_if<std::int64_t>(&cell)) {
        store.setInteger(c, *i);
      } else if (const auto* d = std::get_if<double>(&cell)) {
        store.setReal(c, *d);
      } else if (const auto* s = std::get_if<QString>(&cell)) {
        store.setText(c, std::u16string_view(reinterpret_cast<const char16_t*>(s->utf16()), s->size()));
      } else if (const auto* bytes = std::get_if<QByteArray>(&cell)) {
        store.setBytes(c, std::as_bytes(std::span(bytes->constData(), bytes->size())));
      }
    }
    store.endRow();
  }
  return store;
}

std::vector<Cell> row(const char* text, std::int64_t integer, double real, double moment, const char* decimal,
                      bool yes = false) {
  const auto cell = [](const char* s) { return s ? Cell(QString::fromUtf8(s)) : Cell(); };
  return {cell(text), integer, integer,       integer * 10000 + 5000, real, double(static_cast<float>(real)),
          moment,     yes,     cell(decimal), QByteArray("ab")};
}

const double kNan = std::numeric_limits<double>::quiet_NaN();

// Rows in an order that is not their values', with equal values apart,
// case and diacritics, nulls, a NaN, both zeros and moments before 1900.
std::vector<std::vector<Cell>> sampleRows() {
  return {
      row("Zenon", 12, 2.5, daysFrom(QDate(2001, 1, 1), QTime(10, 0)), "12.5000", true),
      row("anna", 123, -0.0, -1.25, "-0.5"),
      row("Ala", 5, kNan, daysFrom(QDate(1899, 12, 29), QTime(6, 0)), "-.50"),
      row("ANNA", 12, 0.0, daysFrom(QDate(2001, 1, 1)), "12.5"),
      row(nullptr, -7, 2.5, 0.5, nullptr, true),
      row("Ąbel", -7, 1e300, -0.5, "0.0000"),
      row("", 0, 0.1, daysFrom(QDate(2001, 1, 1), QTime(10, 0)), "0"),
      row("adam", 12, 0.1, 36'892.0, "123456789012345678.1234"),
      row("Ągata", 99, -2.5, -700'000.25, "123456789012345678.1235"),
      row("straße", 5, 3.0, 1.0, "-12.34"),
  };
}

struct Query {
  Column column;
  const char* text;
};

const Query kQueries[] = {
    {kText, "a"},
    {kText, "A"},
    {kText, "an"},
    {kText, "ANNA"},
    {kText, "ą"},
    {kText, "Ą"},
    {kText, "AĄ"},
    {kText, ""},
    {kText, "STRASS"},
    {kText, "straß"},
    {kText, "x"},
    {kInteger, "12"},
    {kInteger, "-7"},
    {kInteger, "1"},
    {kInteger, "x"},
    {kInteger, "0"},
    {kUnsigned, "12"},
    {kUnsigned, "-7"},
    {kCurrency, "12,5"},
    {kCurrency, "-6,5"},
    {kCurrency, "1,2,3"},
    {kDouble, "0"},
    {kDouble, "-0"},
    {kDouble, "2,5"},
    {kDouble, "0,1"},
    {kDouble, "NaN"},
    {kDouble, "nan"},
    {kSingle, "0,1"},
    {kSingle, "2,5"},
    {kMoment, "01.01.2001 10:00:00"},
    {kMoment, "01.01.2001"},
    {kMoment, "29.12.1899 06:00:00"},
    {kMoment, "30.12.1899 12:00:00"},
    {kMoment, "someday"},
    {kBoolean, "True"},
    {kBoolean, "false"},
    {kBoolean, "maybe"},
    {kDecimal, "12,5"},
    {kDecimal, "-0,5"},
    {kDecimal, "0"},
    {kDecimal, "-0"},
    {kDecimal, "123456789012345678,1235"},
    {kDecimal, "x"},
    {kBinary, "ab"},
};

TEST(LocateTest, AnswersAsTheRowsSortedByTheColumnWould) {
  RowStore store = storeOf(sampleRows());
  std::vector<std::uint32_t> order(store.rowCount());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  // The rows as shown, and shown backwards.
  for (int pass = 0; pass < 2; ++pass) {
    for (const Query& q : kQueries) {
      const QString text = QString::fromUtf8(q.text);
      EXPECT_EQ(locatePosition(store, order, q.column, text, kPolish), model(store, order, q.column, text))
          << "column " << q.column << ", \"" << q.text << "\", pass " << pass;
    }
    std::reverse(order.begin(), order.end());
  }
}

TEST(LocateTest, SamplesOfTheAnswers) {
  RowStore store = storeOf(sampleRows());
  const std::vector<std::uint32_t> order = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const auto at = [&](Column c, const char* text) {
    return locatePosition(store, order, c, QString::fromUtf8(text), kPolish);
  };
  EXPECT_EQ(at(kText, "a"), 7);      // "adam" before "Ala" and "anna"
  EXPECT_EQ(at(kText, "anna"), 1);   // "anna" and "ANNA" are equal: the first
  EXPECT_EQ(at(kText, ""), 6);       // everything begins with nothing: "" first
  EXPECT_EQ(at(kText, "Ą"), 5);      // "Ąbel" before "Ągata"
  EXPECT_EQ(at(kInteger, "12"), 0);  // 12, not 123
  EXPECT_EQ(at(kInteger, "1"), std::nullopt);
  EXPECT_EQ(at(kDouble, "0"), 1);                         // -0 equals 0
  EXPECT_EQ(at(kMoment, "29.12.1899 06:00:00"), 1);       // -1.25 is that moment too
  EXPECT_EQ(at(kDecimal, "-0,5"), 1);                     // "-0.5" and "-.50"
  EXPECT_EQ(at(kDecimal, "123456789012345678,1235"), 8);  // beyond a double's digits
  EXPECT_EQ(at(kBinary, "ab"), std::nullopt);
}

// Rows changed after loading live apart from the others; a search sees them.
TEST(LocateTest, SeesChangedAndAddedRows) {
  RowStore store = storeOf(sampleRows());
  store.replaceRow(9, row("aaron", 12, 0.1, 0.0, "5"));
  const std::uint32_t added = store.addRow(row("Aaa", 4, 0.0, 0.0, "7"));
  std::vector<std::uint32_t> order = {added, 3, 9, 0, 1, 2, 4, 5, 6, 7, 8};
  for (const Query& q : kQueries) {
    const QString text = QString::fromUtf8(q.text);
    EXPECT_EQ(locatePosition(store, order, q.column, text, kPolish), model(store, order, q.column, text))
        << "column " << q.column << ", \"" << q.text << "\"";
  }
  EXPECT_EQ(locatePosition(store, order, kText, "aa", kPolish), 0);
  EXPECT_EQ(locatePosition(store, order, kText, "aar", kPolish), 2);
}

// Many rows of few distinct values, shuffled, searched by every prefix of
// some of them and by text no row holds.
TEST(LocateTest, RandomRowsAgreeWithTheModel) {
  const std::uint64_t seed = 4112;
  SCOPED_TRACE(testing::Message() << "seed " << seed);
  std::mt19937_64 random(seed);
  const QString letters = QString::fromUtf8("aAbąĄß");
  std::vector<std::vector<Cell>> rows;
  for (int i = 0; i < 1000; ++i) {
    QString text;
    for (int n = static_cast<int>(random() % 5); n > 0; --n) text += letters[static_cast<qsizetype>(random() % 6)];
    const std::int64_t number = static_cast<std::int64_t>(random() % 50) - 25;
    rows.push_back(row(random() % 10 ? text.toUtf8().constData() : nullptr, number, number / 4.0, number / 8.0,
                       QByteArray::number(static_cast<double>(number) / 4).constData(), number % 2));
  }
  RowStore store = storeOf(rows);
  std::vector<std::uint32_t> order(store.rowCount());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), random);
  for (int i = 0; i < 150; ++i) {
    const Cell sample = store.cell(static_cast<std::uint32_t>(random() % order.size()), kText);
    const QString text = isNull(sample) ? QStringLiteral("Ąx") : std::get<QString>(sample);
    for (qsizetype n = 0; n <= text.size(); ++n)
      ASSERT_EQ(locatePosition(store, order, kText, text.left(n), kPolish), model(store, order, kText, text.left(n)))
          << text.left(n).toStdString();
  }
  for (int number = -30; number <= 30; ++number) {
    for (Column c : {kInteger, kCurrency, kDouble, kMoment, kDecimal, kBoolean}) {
      const QString text = c == kBoolean  ? (number % 2 ? "True" : "False")
                           : c == kMoment ? kPolish.toString(QDate(1899, 12, 30).addDays(number), QLocale::ShortFormat)
                                          : kPolish.toString(number / 4.0, 'f', 2);
      ASSERT_EQ(locatePosition(store, order, c, text, kPolish), model(store, order, c, text))
          << "column " << c << ", \"" << text.toStdString() << "\"";
    }
  }
}

}  // namespace
}  // namespace tabrix
