// The translator's pieces on their own: Like patterns, dates as Access reads
// them, the order of text, and the SQL of a saved query rebuilt from its
// rows of MSysQueries.

#include <gtest/gtest.h>

#include <cmath>

#include "dates.h"
#include "jet/sql/error.h"
#include "like.h"
#include "parser.h"
#include "saved_query.h"
#include "text_order.h"

namespace {

using namespace jet::sql;

TEST(Like, MatchesAccessWildcards) {
  struct Case {
    const char* text;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      {"abc", "abc", true},      {"ABC", "abc", true},     {"abc", "ab", false},      {"abc", "*", true},
      {"", "*", true},           {"", "?", false},         {"abc", "a*c", true},      {"abbbc", "a*b*c", true},
      {"abc", "a*b*b*c", false}, {"abc", "%b%", true},     {"abc", "_b_", true},      {"a1c", "a#c", true},
      {"a c", "a#c", false},     {"bat", "[a-c]at", true}, {"hat", "[a-c]at", false}, {"hat", "[!a-c]at", true},
      {"a-", "a[-]", true},      {"a*", "a[*]", true},     {"ab", "a[*]", false},     {"ŻÓŁW", "żó*", true},
      {"żółw", "[ż]ółw", true},  {"aXb", "a[xy]b", true},  {"a?b", "a[?]b", true},    {"mississippi", "*ss*ss*", true},
  };
  for (const Case& c : cases) {
    LikePattern p;
    ASSERT_TRUE(p.compile(c.pattern)) << c.pattern;
    EXPECT_EQ(p.matches(c.text), c.matches) << c.text << " Like " << c.pattern;
  }
  LikePattern broken;
  EXPECT_FALSE(broken.compile("a[bc"));
}

TEST(Like, StaysWithinTextTimesPattern) {
  // A pattern that makes naive backtracking exponential.
  LikePattern p;
  ASSERT_TRUE(p.compile("*a*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_FALSE(p.matches(std::string(5000, 'a')));
}

TEST(Dates, ReadAsAccessReadsThem) {
  struct Case {
    const char* text;
    DateOrder order;
    double days;  // NaN: not a date
  };
  const double no = std::nan("");
  const Case cases[] = {
      {"1/31/2000", DateOrder::MonthFirst, 36556},   {"2000-01-31", DateOrder::MonthFirst, 36556},
      {"2000/1/31", DateOrder::MonthFirst, 36556},   {"31-Jan-2000", DateOrder::MonthFirst, 36556},
      {"January 31, 2000", DateOrder::MonthFirst, 36556}, {"31 January 2000", DateOrder::MonthFirst, 36556},
      {"13/1/2000", DateOrder::MonthFirst, 36538},   {"1/13/00", DateOrder::MonthFirst, 36538},
      {"1/13/99", DateOrder::MonthFirst, 36173},     {"31.01.2000", DateOrder::DayFirst, 36556},
      {"12:00", DateOrder::MonthFirst, 0.5},         {"6:00 PM", DateOrder::MonthFirst, 0.75},
      {"12:00 AM", DateOrder::MonthFirst, 0},        {"1/31/2000 6:00", DateOrder::MonthFirst, 36556.25},
      {"12/30/1899", DateOrder::MonthFirst, 0},      {"12/29/1899 6:00", DateOrder::MonthFirst, -1.25},
      {"2/30/2000", DateOrder::MonthFirst, no},      {"13/13/2000", DateOrder::MonthFirst, no},
      {"25:00", DateOrder::MonthFirst, no},          {"31", DateOrder::MonthFirst, no},
      {"someday", DateOrder::MonthFirst, no},        {"", DateOrder::MonthFirst, no},
      {"1/31/2000 13:00 PM", DateOrder::MonthFirst, no},
  };
  for (const Case& c : cases) {
    const auto days = parseDate(c.text, c.order);
    if (std::isnan(c.days)) {
      EXPECT_FALSE(days) << c.text;
    } else {
      ASSERT_TRUE(days) << c.text;
      EXPECT_NEAR(*days, c.days, 1e-9) << c.text;
    }
  }
}

TEST(Dates, CalendarArithmeticCarriesOver) {
  EXPECT_EQ(daysFromDate(2000, 13, 1), daysFromDate(2001, 1, 1));
  EXPECT_EQ(daysFromDate(2000, 3, 0), daysFromDate(2000, 2, 29));
  EXPECT_EQ(daysFromDate(2000, 0, 1), daysFromDate(1999, 12, 1));
  EXPECT_EQ(daysFromDate(1899, 12, 30), 0);
  EXPECT_EQ(dateText(36556.5), "2000-01-31 12:00:00");
  EXPECT_EQ(dateText(36556), "2000-01-31");
  EXPECT_EQ(dateText(0.25), "06:00:00");
  EXPECT_EQ(weekday(0, 1), 7);  // 1899-12-30 was a Saturday
  EXPECT_EQ(weekday(1, 2), 7);  // a Sunday, in weeks from Monday
  EXPECT_EQ(weekOfYear(2000, static_cast<long long>(daysFromDate(2000, 1, 1)), 1, 1), 1);
  EXPECT_EQ(weekOfYear(2000, static_cast<long long>(daysFromDate(2000, 1, 2)), 1, 1), 2);
  EXPECT_EQ(weekOfYear(2000, static_cast<long long>(daysFromDate(2000, 1, 2)), 2, 2), 52);  // ISO: 1999's last week
}

TEST(TextOrder, IgnoresCaseAndPutsAccentsSecond) {
  EXPECT_EQ(compareText("abc", "ABC"), 0);
  EXPECT_LT(compareText("a", "b"), 0);
  EXPECT_LT(compareText("a", "ą"), 0);
  EXPECT_LT(compareText("ą", "b"), 0);
  EXPECT_LT(compareText("ąa", "ab"), 0);  // letters first, accents only to break a tie
  EXPECT_EQ(compareText("ŻÓŁW", "żółw"), 0);
  EXPECT_LT(compareText("Lodz", "Łódź"), 0);
  EXPECT_LT(compareText("Łódź", "Lublin"), 0);
  EXPECT_LT(compareText("ab", "abc"), 0);
  EXPECT_EQ(foldText("ÅRHUS Żółw"), "århus żółw");
  EXPECT_EQ(upperCase(U'ł'), U'Ł');
  EXPECT_EQ(upperCase(U'ÿ'), U'Ÿ');
  EXPECT_EQ(foldCase(U'Я'), U'я');
}

// Rows of MSysQueries for one query: attribute, expression, name1, name2,
// flag.
SavedQuery query(const char* name, std::vector<QueryRow> rows) {
  SavedQuery q;
  q.name = name;
  q.rows = std::move(rows);
  return q;
}

TEST(SavedQueryText, JoinsNestAsTheirRowsSay) {
  const SavedQuery q = query("Q", {
                                      {1, "", "", "", 1},
                                      {3, "", "10", "", 0x10 | 0x20 | 0x08},
                                      {2, "", "Since", "", 8},
                                      {5, "", "A", "", 0},
                                      {5, "", "B", "Bee", 0},
                                      {5, "", "C", "", 0},
                                      {5, "", "D", "", 0},
                                      {6, "A.x", "", "", 0},
                                      {6, "Sum(Bee.y)", "Total", "", 0},
                                      {7, "A.id = Bee.id", "A", "Bee", 2},
                                      {7, "Bee.k = C.k", "Bee", "C", 1},
                                      {7, "Bee.j = C.j", "Bee", "C", 1},
                                      {8, "A.d > [Since]", "", "", 0},
                                      {9, "A.x", "", "", 0},
                                      {10, "Sum(Bee.y) > 1", "", "", 0},
                                      {11, "A.x", "D", "", 0},
                                  });
  EXPECT_EQ(savedQuerySql(q),
            "PARAMETERS [Since] DateTime;\r\n"
            "SELECT DISTINCTROW TOP 10 PERCENT A.x, Sum(Bee.y) AS [Total]\r\n"
            "FROM [D], ([A] LEFT JOIN [B] AS [Bee] ON (A.id = Bee.id)) INNER JOIN [C] ON (Bee.k = C.k) AND (Bee.j = "
            "C.j)\r\n"
            "WHERE A.d > [Since]\r\n"
            "GROUP BY A.x\r\n"
            "HAVING Sum(Bee.y) > 1\r\n"
            "ORDER BY A.x DESC");
  // And the text is one the parser reads.
  EXPECT_NO_THROW(parse(savedQuerySql(q)));
}

TEST(SavedQueryText, UnionsJoinTheirParts) {
  const SavedQuery q = query("U", {
                                      {1, "", "", "", 9},
                                      {3, "", "", "", 1},
                                      {5, "SELECT a FROM T1;", "", "X7YZ_____1", 0},
                                      {5, "SELECT b FROM T2\r\n", "", "X7YZ_____2", 0},
                                      {11, "a", "", "", 0},
                                  });
  EXPECT_EQ(savedQuerySql(q), "SELECT a FROM T1\r\nUNION ALL SELECT b FROM T2\r\nORDER BY a");
}

TEST(SavedQueryText, RowsThatMakeNoQueryNameIt) {
  const SavedQuery joinToNowhere = query("Broken", {{1, "", "", "", 1},
                                                    {5, "", "A", "", 0},
                                                    {6, "A.x", "", "", 0},
                                                    {7, "A.id = Z.id", "A", "Z", 1}});
  try {
    savedQuerySql(joinToNowhere);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "The saved query \"Broken\" can't be read: a join names a table the query doesn't use (A, Z)");
  }
  const SavedQuery noColumns = query("Empty", {{1, "", "", "", 1}, {5, "", "A", "", 0}});
  EXPECT_THROW(savedQuerySql(noColumns), Error);
}

TEST(Parser, ReadsAccessForms) {
  // A subquery as Access 97 stores it: [SELECT …]. AS alias.
  ast::Statement s = parse("SELECT q.a FROM [SELECT a FROM T]. AS q");
  ASSERT_EQ(s.query->select->from.size(), 1u);
  EXPECT_EQ(s.query->select->from[0].kind, ast::FromItem::Kind::Subquery);
  EXPECT_EQ(s.query->select->from[0].alias, "q");
  // Names of several parts, with ! too.
  s = parse("SELECT [Forms]![My Form]![Box], T!c FROM T");
  EXPECT_EQ(s.query->select->items[0].expr->parts, (std::vector<std::string>{"Forms", "My Form", "Box"}));
  EXPECT_EQ(s.query->select->items[0].expr->separators, "!!");
  // Left() is a function where LEFT JOIN is a join.
  s = parse("SELECT Left(a, 1) FROM T LEFT JOIN U ON T.a = U.a");
  EXPECT_EQ(s.query->select->items[0].expr->kind, ast::ExprKind::Call);
  EXPECT_EQ(s.query->select->from[0].join, ast::JoinKind::Left);
  // ^ binds tighter than a sign, and comparisons chain left to right.
  s = parse("SELECT -2 ^ 2");
  EXPECT_EQ(s.query->select->items[0].expr->kind, ast::ExprKind::Negate);
  // Statements that change the database are read in full.
  s = parse("DELETE Orders.* FROM Orders WHERE OrderID = 1;");
  EXPECT_EQ(s.kind, ast::Statement::Kind::Delete);
  EXPECT_EQ(s.deleteTable, "Orders");
  s = parse("CREATE TABLE T (ID COUNTER CONSTRAINT pk PRIMARY KEY, Name TEXT(50) NOT NULL, Price CURRENCY, "
            "CONSTRAINT u UNIQUE (Name))");
  ASSERT_EQ(s.definitions.size(), 3u);
  EXPECT_TRUE(s.definitions[0].autoNumber && s.definitions[0].primaryKey);
  EXPECT_EQ(s.definitions[1].type.size, 50);
  EXPECT_TRUE(s.definitions[1].notNull && s.definitions[1].unique);
  EXPECT_EQ(s.definitions[2].type.kind, Kind::Currency);
  s = parse("CREATE UNIQUE INDEX ix ON T (a DESC, b) WITH DISALLOW NULL");
  EXPECT_TRUE(s.unique);
  EXPECT_TRUE(s.columns[0].descending);
  s = parse("INSERT INTO T (a, b) SELECT x, y FROM U");
  EXPECT_EQ(s.kind, ast::Statement::Kind::InsertSelect);
  s = parse("SELECT a INTO NewTable FROM T");
  EXPECT_EQ(s.kind, ast::Statement::Kind::SelectInto);
}

}  // namespace
