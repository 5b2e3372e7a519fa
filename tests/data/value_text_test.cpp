#include <gtest/gtest.h>

#include <QStringDecoder>
#include <limits>

#include "data/ansi_code_page.h"
#include "data/date_time.h"
#include "data/field_names.h"
#include "data/value_parse.h"
#include "data/value_text.h"
#include "qt_printers.h"

namespace tabrix {
namespace {

const QLocale kPolish(QLocale::Polish, QLocale::Poland);
const QLocale kAmerican(QLocale::English, QLocale::UnitedStates);

ColumnInfo column(DataType type, int size = 0, int precision = 0, int scale = 0) {
  ColumnInfo c;
  c.name = "k";
  c.type = type;
  c.size = size;
  c.precision = precision;
  c.scale = scale;
  return c;
}

TEST(ValueTextTest, FloatsShowAtMostFifteenDigitsAndSwitchToExponents) {
  struct Case {
    double value;
    const char* polish;
  } cases[] = {
      {0, "0"},
      {444.555, "444,555"},
      {-3.5, "-3,5"},
      {0.1 + 0.2, "0,3"},
      {1.0 / 3, "0,333333333333333"},
      {0.00001, "0,00001"},
      {0.000012345, "0,000012345"},
      {0.000001, "1E-6"},
      {-0.0000015, "-1,5E-6"},
      {123456789012345, "123456789012345"},
      {999999999999999, "999999999999999"},
      {1234567890123456, "1,23456789012346E15"},
      {1.5e20, "1,5E20"},
      {100, "100"},
      {690.4257605024213, "690,425760502421"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(valueText(c.value, column(DataType::Double), kPolish), QString::fromUtf8(c.polish)) << c.polish;
  EXPECT_EQ(valueText(1.5e20, column(DataType::Double), kAmerican), "1.5E20");
  // A Single shows as the shortest text that reads back as that Single.
  EXPECT_EQ(valueText(static_cast<double>(444.555f), column(DataType::Single), kPolish), "444,555");
  EXPECT_EQ(valueText(static_cast<double>(0.1f), column(DataType::Single), kPolish), "0,1");
}

TEST(ValueTextTest, ExactNumbers) {
  EXPECT_EQ(valueText(std::int64_t(35000), column(DataType::Currency, 0, 19, 4), kPolish), "3,5");
  EXPECT_EQ(valueText(std::int64_t(957229200), column(DataType::Currency, 0, 19, 4), kPolish), "95722,92");
  EXPECT_EQ(valueText(std::int64_t(-1), column(DataType::Currency, 0, 19, 4), kPolish), "-0,0001");
  EXPECT_EQ(valueText(std::int64_t(0), column(DataType::Currency, 0, 19, 4), kAmerican), "0");
  EXPECT_EQ(valueText(std::int64_t(-1234567), column(DataType::Integer), kPolish), "-1234567");
  EXPECT_EQ(valueText(std::int64_t(-1), column(DataType::UnsignedBigInt), kPolish), "18446744073709551615");
  EXPECT_EQ(valueText(QString("123456789012345678"), column(DataType::Numeric, 0, 18, 0), kPolish),
            "123456789012345678");
  EXPECT_EQ(valueText(QString("-12.3400"), column(DataType::Numeric, 0, 10, 4), kPolish), "-12,34");
  EXPECT_EQ(valueText(QString("1.23456"), column(DataType::Numeric, 0, 10, 2), kPolish), "1,2346");
  EXPECT_EQ(valueText(QString("0.123456789"), column(DataType::Numeric, 0, 28, 9), kPolish), "0,123456789");
  EXPECT_EQ(valueText(true, column(DataType::Boolean), kPolish), "True");
  EXPECT_EQ(valueText(false, column(DataType::Boolean), kPolish), "False");
  EXPECT_EQ(valueText(Cell(), column(DataType::Integer), kPolish), "");
}

TEST(ValueTextTest, DatesUseTheLocaleAndDropMidnight) {
  const double withTime = daysFrom(QDate(1974, 9, 21), QTime(7, 53, 2));
  const double midnight = daysFrom(QDate(1974, 9, 21));
  EXPECT_EQ(valueText(withTime, column(DataType::DBTimeStamp), kPolish), "21.09.1974 07:53:02");
  EXPECT_EQ(valueText(midnight, column(DataType::DBTimeStamp), kPolish), "21.09.1974");
  EXPECT_EQ(valueText(withTime, column(DataType::DBDate), kPolish), "21.09.1974");
  EXPECT_EQ(valueText(withTime, column(DataType::DBTime), kPolish), "07:53:02");
  EXPECT_EQ(valueText(withTime, column(DataType::Date), kAmerican), "9/21/74 7:53:02 AM");
  EXPECT_FALSE(longTimeFormat(kAmerican).contains('t'));
  // Before 1899-12-30 the fraction still counts forward from midnight.
  EXPECT_EQ(valueText(-1.25, column(DataType::Date), kPolish), "29.12.1899 06:00:00");
  EXPECT_EQ(daysFrom(QDate(1899, 12, 29), QTime(6, 0)), -1.25);
}

TEST(ValueTextTest, GuidsAndBinaryData) {
  const Guid guid = {0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xF0, 0xDE, 1, 2, 3, 4, 5, 6, 7, 0xFF};
  EXPECT_EQ(valueText(guid, column(DataType::GUID), kPolish), "{12345678-9ABC-DEF0-0102-0304050607FF}");
  // Long binary: one character per byte of the ANSI code page.
  EXPECT_EQ(valueText(QByteArray("\xB9\xE6 ok", 5), column(DataType::LongVarBinary), kPolish), QString::fromUtf8("ąć ok"));
  EXPECT_EQ(valueText(QByteArray("\xE4", 1), column(DataType::LongVarBinary), kAmerican), QString::fromUtf8("ä"));
  // Short binary: two bytes to a character.
  EXPECT_EQ(valueText(QByteArray("A\0B\0C", 5), column(DataType::VarBinary), kPolish), "AB");
}

TEST(ValueTextTest, DefaultDisplayWidths) {
  struct Case {
    ColumnInfo column;
    int width;
  } cases[] = {
      {column(DataType::VarWChar, 50), 50},       {column(DataType::Char, 4), 4},
      {column(DataType::SmallInt), 10},           {column(DataType::UnsignedTinyInt), 10},
      {column(DataType::Integer), 10},            {column(DataType::Numeric, 0, 9, 0), 10},
      {column(DataType::Numeric, 0, 18, 0), 19},  {column(DataType::BigInt), 15},
      {column(DataType::Double), 10},             {column(DataType::Single), 10},
      {column(DataType::Currency, 0, 19, 4), 20}, {column(DataType::Decimal, 0, 28, 6), 29},
      {column(DataType::Numeric, 0, 0, 0), 10},   {column(DataType::Boolean), 5},
      {column(DataType::DBTimeStamp), 18},        {column(DataType::Date), 18},
      {column(DataType::DBDate), 10},             {column(DataType::DBTime), 10},
      {column(DataType::GUID), 38},               {column(DataType::LongVarChar), 10},
      {column(DataType::LongVarWChar), 10},       {column(DataType::LongVarBinary), 10},
      {column(DataType::VarBinary, 50), 10},      {column(DataType::Variant), 15},
  };
  for (const Case& c : cases)
    EXPECT_EQ(defaultDisplayWidth(c.column), c.width) << "type " << static_cast<int>(c.column.type);
}

TEST(ValueParseTest, ReadsWhatTheTextShows) {
  const double when = daysFrom(QDate(2014, 11, 17), QTime(12, 30, 5));
  const struct Case {
    ColumnInfo column;
    Cell value;
  } cases[] = {
      {column(DataType::Double), 1.5e20},
      {column(DataType::Double), -0.000012},
      {column(DataType::Currency, 0, 19, 4), std::int64_t(957229200)},
      {column(DataType::Numeric, 0, 10, 2), QString("-12.5")},
      {column(DataType::Integer), std::int64_t(-42)},
      {column(DataType::Boolean), true},
      {column(DataType::DBTimeStamp), when},
      {column(DataType::DBTimeStamp), daysFrom(QDate(2014, 11, 17))},
      {column(DataType::VarWChar, 20), QString("Zażółć")},
  };
  for (const Case& c : cases) {
    const QString text = valueText(c.value, c.column, kPolish);
    EXPECT_EQ(parseValue(text, c.column, kPolish), c.value) << text.toStdString();
  }
  EXPECT_EQ(parseValue("", column(DataType::Integer), kPolish), Cell());
  EXPECT_EQ(parseValue("12.5", column(DataType::Double), kPolish), Cell(12.5));
  EXPECT_EQ(parseValue("1,23456", column(DataType::Currency, 0, 19, 4), kPolish), Cell(std::int64_t(12346)));
  EXPECT_EQ(parseValue("{12345678-9abc-def0-0102-0304050607ff}", column(DataType::GUID), kPolish),
            Cell(Guid{0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xF0, 0xDE, 1, 2, 3, 4, 5, 6, 7, 0xFF}));
  EXPECT_EQ(parseValue(QString::fromUtf8("ąć"), column(DataType::LongVarBinary), kPolish), Cell(QByteArray("\xB9\xE6")));
}

TEST(ValueParseTest, RefusesWhatIsNoValueOfTheType) {
  const struct Case {
    const char* text;
    ColumnInfo column;
  } cases[] = {
      {"abc", column(DataType::Integer)},
      {"70000", column(DataType::SmallInt)},
      {"256", column(DataType::UnsignedTinyInt)},
      {"-1", column(DataType::UnsignedInt)},
      {"1,2,3", column(DataType::Double)},
      {"12x", column(DataType::Currency, 0, 19, 4)},
      {"31.02.2020", column(DataType::DBTimeStamp)},
      {"maybe", column(DataType::Boolean)},
      {"{nope}", column(DataType::GUID)},
      {"1e5", column(DataType::Numeric, 0, 10, 2)},
  };
  for (const Case& c : cases) EXPECT_THROW(parseValue(c.text, c.column, kPolish), ValueError) << c.text;
}

TEST(ValueParseTest, CurrencyFromANumberADriverWrote) {
  const std::int64_t max = std::numeric_limits<std::int64_t>::max();
  const std::int64_t min = std::numeric_limits<std::int64_t>::min();
  const std::pair<const char*, std::int64_t> valid[] = {
      {"123.45", 1234500},
      {" -0.5 ", -5000},
      {"0.00005", 1},   // the fifth decimal rounds half away from zero
      {"-0.00005", -1},
      {"0.00004999", 0},
      {"00000000000000000000000012", 120000},  // leading zeros are no digits of the value
      {"922337203685477.5807", max},
      {"-922337203685477.5808", min},
      {"922337203685477.58069", max},
      {"1.5E+3", 15000000},
      {"-2.5e-2", -250},
  };
  for (const auto& [text, value] : valid) EXPECT_EQ(currencyFromNumberText(text), value) << text;

  for (const char* text : {"922337203685477.5808", "-922337203685477.5809", "922337203685477.58075",
                           "12345678901234567890", "99999999999999999999999999999999.5", "1e300", "-1e16", "inf",
                           "nan", "", "12x", "1.2.3", "--1"})
    EXPECT_THROW(currencyFromNumberText(text), ValueError) << text;
}

TEST(AnsiCodePageTest, FollowsTheLocalesLanguage) {
  EXPECT_EQ(ansiCodePage(kPolish), "windows-1250");
  EXPECT_EQ(ansiCodePage(QLocale(QLocale::Czech)), "windows-1250");
  EXPECT_EQ(ansiCodePage(QLocale(QLocale::Russian)), "windows-1251");
  EXPECT_EQ(ansiCodePage(QLocale(QLocale::Greek)), "windows-1253");
  EXPECT_EQ(ansiCodePage(QLocale(QLocale::German, QLocale::Germany)), "windows-1252");
  EXPECT_EQ(ansiCodePage(kAmerican), "windows-1252");
  for (QLocale::Language language : {QLocale::Polish, QLocale::Russian, QLocale::Greek, QLocale::Turkish,
                                     QLocale::Hebrew, QLocale::Arabic, QLocale::Lithuanian, QLocale::Vietnamese,
                                     QLocale::Thai, QLocale::Japanese, QLocale::Korean, QLocale::Chinese,
                                     QLocale::French})
    EXPECT_TRUE(QStringDecoder(ansiCodePage(QLocale(language)).constData()).isValid()) << ansiCodePage(QLocale(language)).constData();
  EXPECT_EQ(toAnsi(QString::fromUtf8("Łódź"), kPolish), QByteArray("\xA3\xF3\x64\x9F"));
  EXPECT_EQ(fromAnsi(QByteArray("\xA3\xF3\x64\x9F"), kPolish), QString::fromUtf8("Łódź"));
  EXPECT_EQ(fromAnsi(QByteArray("\xC6", 1), QLocale(QLocale::Russian)), QString::fromUtf8("Ж"));
}

TEST(FieldNamesTest, UnnamedAndRepeatedColumns) {
  const struct Case {
    std::vector<QString> columns;
    std::vector<QString> fields;
  } cases[] = {
      {{"Nazwa", "Nazwa"}, {"Nazwa", "Nazwa_1"}},
      {{"", ""}, {"COLUMN1", "COLUMN2"}},
      {{"COLUMN1", ""}, {"COLUMN1", "COLUMN2"}},
      {{"a", "A", "a_1", "a"}, {"a", "A_1", "a_1_1", "a_2"}},
      {{"ID", "Nazwa", "Kwota"}, {"ID", "Nazwa", "Kwota"}},
  };
  for (const Case& c : cases) EXPECT_EQ(fieldNames(c.columns), c.fields);
}

}  // namespace
}  // namespace tabrix
