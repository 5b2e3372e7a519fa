// Values as the engine decodes them: decimals, dates, text in its stored
// forms, and as a cursor hands them out.

#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "fixtures.h"
#include "jet/database.h"
#include "jet/value.h"
#include "text_codec.h"

namespace {

jet::Decimal decimal(bool negative, int scale, std::array<std::uint32_t, 3> magnitude) {
  jet::Decimal d;
  d.negative = negative;
  d.scale = static_cast<std::uint8_t>(scale);
  d.magnitude = magnitude;
  return d;
}

TEST(Values, DecimalText) {
  struct Case {
    jet::Decimal value;
    const char* text;
  };
  const Case cases[] = {
      {decimal(false, 0, {0, 0, 0}), "0"},
      {decimal(true, 0, {0, 0, 0}), "0"},  // no negative zero
      {decimal(false, 0, {4, 0, 0}), "4"},
      {decimal(true, 0, {1, 0, 0}), "-1"},
      {decimal(false, 2, {150, 0, 0}), "1.5"},
      {decimal(false, 2, {100, 0, 0}), "1"},
      {decimal(true, 4, {5, 0, 0}), "-0.0005"},
      {decimal(false, 3, {12000, 0, 0}), "12"},
      {decimal(false, 0, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}), "79228162514264337593543950335"},
      {decimal(true, 28, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}), "-7.9228162514264337593543950335"},
      {decimal(false, 28, {1, 0, 0}), "0.0000000000000000000000000001"},
      {decimal(false, 5, {0, 1, 0}), "42949.67296"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value.toString(), c.text);
}

TEST(Values, DateTimes) {
  struct Case {
    double days;
    jet::DateTime t;
  };
  const Case cases[] = {
      {0.0, {true, 1899, 12, 30, 0, 0, 0}},
      {1.5, {true, 1899, 12, 31, 12, 0, 0}},
      {27293.0, {true, 1974, 9, 21, 0, 0, 0}},
      {-1.25, {true, 1899, 12, 29, 6, 0, 0}},  // the fraction runs forward from midnight
      {-0.5, {true, 1899, 12, 30, 12, 0, 0}},
      {36526.0 + 0.999999, {true, 2000, 1, 2, 0, 0, 0}},  // rounds to the next midnight
      {2958465.999988426, {true, 9999, 12, 31, 23, 59, 59}},
      {-657434.0, {true, 100, 1, 1, 0, 0, 0}},
      {60.0, {true, 1900, 2, 28, 0, 0, 0}},
      {61.0, {true, 1900, 3, 1, 0, 0, 0}},  // 1900 was not a leap year
      {-109512.0, {true, 1600, 2, 29, 0, 0, 0}},
      // The valid range: the years 1 to 99999, past what the standard
      // calendar types hold.
      {-693593.5, {true, 1, 1, 1, 12, 0, 0}},
      {-693594.0, {false}},
      {17568225.0, {true, 50000, 2, 29, 0, 0, 0}},
      {35830290.5, {true, 99999, 12, 31, 12, 0, 0}},
      {35830291.0, {false}},
      {std::numeric_limits<double>::quiet_NaN(), {false}},
      {1e300, {false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.days);
    jet::DateTime t = jet::toDateTime(c.days);
    EXPECT_EQ(t.valid, c.t.valid);
    if (!c.t.valid) continue;
    EXPECT_EQ((std::array<int, 6>{t.year, t.month, t.day, t.hour, t.minute, t.second}),
              (std::array<int, 6>{c.t.year, c.t.month, c.t.day, c.t.hour, c.t.minute, c.t.second}));
  }
}

std::vector<std::byte> bytes(std::initializer_list<int> values) {
  std::vector<std::byte> out;
  for (int v : values) out.push_back(static_cast<std::byte>(v));
  return out;
}

TEST(Values, Jet4Text) {
  jet::TextCodec codec(jet::Format::Jet4, 1252);
  // UTF-16 little-endian.
  EXPECT_EQ(codec.decode(bytes({0x41, 0x00, 0x05, 0x01})), u"Aą");
  // Compressed: one-byte characters, a 0x00 switches to two-byte ones and back.
  EXPECT_EQ(codec.decode(bytes({0xFF, 0xFE, 'a', 'b', 0x00, 0x05, 0x01, 0x1C, 0x04, 0x00, 'c'})), u"abąМc");
  EXPECT_EQ(codec.decode(bytes({0xFF, 0xFE})), u"");
  // A half character at the end is dropped.
  EXPECT_EQ(codec.decode(bytes({0xFF, 0xFE, 'x', 0x00, 0x05})), u"x");
  EXPECT_EQ(codec.decode(bytes({0x41})), u"");
}

TEST(Values, Jet3CodePages) {
  struct Case {
    int codePage;
    std::vector<std::byte> stored;
    std::u16string text;
  };
  const Case cases[] = {
      {1252, bytes({'U', 'm', 's', 0xE4, 't', 'z', 'e'}), u"Umsätze"},
      {1252, bytes({0x80, 0x81, 0x9D}), u"€\u0081\u009D"},  // undefined bytes as Windows reads them
      {1250, bytes({0xB9, 0xE6, 0xEA, 0xB3, 0xF1, 0x9C, 0x9F, 0xBF}), u"ąćęłńśźż"},
      {1251, bytes({0xCC, 0xE8, 0xF0}), u"Мир"},
      {1253, bytes({0xE1, 0xE2, 0xE3}), u"αβγ"},
      {874, bytes({0xA1, 0xDB}), u"ก\uFFFD"},
      {0, bytes({0xE9}), u"é"},  // no code page given: Western European
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codePage);
    EXPECT_EQ(jet::TextCodec(jet::Format::Jet3, c.codePage).decode(c.stored), c.text);
  }
  // Other code pages go through the C library.
  EXPECT_EQ(jet::TextCodec(jet::Format::Jet3, 932).decode(bytes({0x93, 0xFA, 0x96, 0x7B})), u"日本");
  EXPECT_THROW(jet::TextCodec(jet::Format::Jet3, 12345), jet::Error);
}

TEST(Values, Utf8RoundTrip) {
  const std::u16string text = u"Zażółć gęślą jaźń \U0001F600";
  EXPECT_EQ(jet::fromUtf8(jet::toUtf8(text)), text);
  EXPECT_EQ(jet::toUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // half a pair
  EXPECT_EQ(jet::fromUtf8("a\xFF" "b"), u"a\uFFFDb");
}

// The cursor reads a value when asked, and again after moving; values of
// different columns of one row stay valid together.
TEST(Values, CursorValuesStayValidUntilTheNextRow) {
  auto path = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(path);
  auto db = jet::Database::open(path.string());
  auto rows = db->rows("Employees");
  ASSERT_TRUE(rows->next());
  const jet::TableDef& t = rows->table();
  std::size_t last = 0, first = 0, notes = 0;
  for (std::size_t i = 0; i < t.columns.size(); ++i) {
    if (t.columns[i].name == "LastName") last = i;
    if (t.columns[i].name == "FirstName") first = i;
    if (t.columns[i].name == "Notes") notes = i;
  }
  const jet::Value& a = rows->value(last);
  const jet::Value& b = rows->value(first);
  const jet::Value& n = rows->value(notes);
  EXPECT_EQ(jet::toUtf8(a.text), "Davolio");
  EXPECT_EQ(jet::toUtf8(b.text), "Nancy");
  EXPECT_TRUE(jet::toUtf8(n.text).starts_with("Education includes a BA in psychology"));
  EXPECT_EQ(jet::toUtf8(rows->value(last).text), "Davolio");
  ASSERT_TRUE(rows->next());
  EXPECT_EQ(jet::toUtf8(rows->value(last).text), "Fuller");
  EXPECT_THROW(rows->value(t.columns.size()), jet::Error);
  while (rows->next()) {
  }
  EXPECT_FALSE(rows->next());
}

}  // namespace
