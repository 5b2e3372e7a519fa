// tabrix-cli: its CSV for chosen values, and the program end to end (output,
// exit status, error texts).

#include <gtest/gtest.h>

#include <deque>
#include <fcntl.h>
#include <unistd.h>

#include "csv_writer.h"
#include "fixtures.h"
#include "given_rows.h"
#include "jet/database.h"
#include "oracle.h"
#include "output.h"
#include "process.h"

namespace {

using jettest::GivenRows;

// Runs the writer over one column of the given values; returns the lines
// after the header.
std::string csvOf(jet::ColumnType type, const std::vector<jet::Value>& values, const std::string& name = "c") {
  jet::TableDef t;
  t.name = "t";
  jet::Column c;
  c.name = name;
  c.type = type;
  t.columns.push_back(c);
  std::vector<std::vector<jet::Value>> rows;
  for (jet::Value v : values) {
    v.type = type;
    rows.push_back({v});
  }
  fixtures::TempDir dir;
  const auto path = dir.path() / "out.csv";
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  {
    tabrix::cli::Output out(fd, 64);  // a small buffer, so long values span flushes
    tabrix::cli::CsvWriter csv(out);
    csv.header(t);
    GivenRows cursor(t, rows);
    while (cursor.next()) csv.row(cursor, 1);
    out.flush();
  }
  ::close(fd);
  auto result = jettest::runProcess({"cat", path.string()});
  return result.out;
}

jet::Value textValue(const std::u16string& s) {
  static std::deque<std::u16string> keep;  // the views point here; a deque never moves them
  keep.push_back(s);
  jet::Value v;
  v.null = false;
  v.text = keep.back();
  return v;
}

jet::Value number(double d) {
  jet::Value v;
  v.null = false;
  v.real = d;
  return v;
}

jet::Value integer(std::int64_t i) {
  jet::Value v;
  v.null = false;
  v.integer = i;
  return v;
}

TEST(CsvWriter, TextQuotedOnlyWhenItMustBe) {
  jet::Value null;
  EXPECT_EQ(csvOf(jet::ColumnType::Text,
                  {textValue(u"plain"), textValue(u"a,b"), textValue(u"say \"hi\""), textValue(u"two\nlines"),
                   textValue(u"cr\rhere"), textValue(u""), null, textValue(u"zażółć \U0001F600")}),
            "c\nplain\n\"a,b\"\n\"say \"\"hi\"\"\"\n\"two\nlines\"\n\"cr\rhere\"\n\"\"\n\nzażółć \U0001F600\n");
  EXPECT_EQ(csvOf(jet::ColumnType::Text, {textValue(u"x")}, "name, with comma"), "\"name, with comma\"\nx\n");
}

TEST(CsvWriter, LongTextSpansBufferFlushes) {
  std::u16string text;
  for (int i = 0; i < 5000; ++i) text += u"ąb,";
  std::string expected = "\"";
  for (int i = 0; i < 5000; ++i) expected += "ąb,";
  expected += "\"";
  EXPECT_EQ(csvOf(jet::ColumnType::Memo, {textValue(text)}), "c\n" + expected + "\n");
  // The text is encoded in runs of 4096 code units: a pair across the end
  // of a run stays whole, a quote there is doubled, a half pair at the very
  // end is a replacement character.
  const std::u16string across = std::u16string(4095, u'a') + u"\U0001F600\"" + std::u16string(4092, u'b') + u"\"\xD83D";
  EXPECT_EQ(csvOf(jet::ColumnType::Memo, {textValue(across)}),
            "c\n\"" + std::string(4095, 'a') + "\U0001F600\"\"" + std::string(4092, 'b') + "\"\"\xEF\xBF\xBD\"\n");
}

TEST(CsvWriter, Numbers) {
  EXPECT_EQ(csvOf(jet::ColumnType::Long, {integer(0), integer(-2147483648LL), integer(333333333)}),
            "c\n0\n-2147483648\n333333333\n");
  EXPECT_EQ(csvOf(jet::ColumnType::Double, {number(444.555), number(0.1), number(-1e-300), number(1e21), number(3)}),
            "c\n444.555\n0.1\n-1e-300\n1e+21\n3\n");
  // A Single prints as the float it is, not as the double it widens to.
  EXPECT_EQ(csvOf(jet::ColumnType::Single, {number(static_cast<double>(0.1f)), number(static_cast<double>(804983.38f))}),
            "c\n0.1\n804983.4\n");
  EXPECT_EQ(csvOf(jet::ColumnType::Currency,
                  {integer(35000), integer(0), integer(-5), integer(123456789), integer(INT64_MIN)}),
            "c\n3.5\n0\n-0.0005\n12345.6789\n-922337203685477.5808\n");
  jet::Value d;
  d.null = false;
  d.decimal.negative = true;
  d.decimal.scale = 2;
  d.decimal.magnitude = {12345, 0, 0};
  EXPECT_EQ(csvOf(jet::ColumnType::Numeric, {d}), "c\n-123.45\n");
}

TEST(CsvWriter, BooleansDatesGuidsAndBytes) {
  jet::Value yes, no;
  yes.null = no.null = false;
  yes.boolean = true;
  EXPECT_EQ(csvOf(jet::ColumnType::Boolean, {yes, no}), "c\ntrue\nfalse\n");
  EXPECT_EQ(csvOf(jet::ColumnType::DateTime, {number(27293.0), number(27293.75), number(-1.25), number(-657434.0)}),
            "c\n1974-09-21 00:00:00\n1974-09-21 18:00:00\n1899-12-29 06:00:00\n0100-01-01 00:00:00\n");
  jet::Value g;
  g.null = false;
  g.guid = {0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  EXPECT_EQ(csvOf(jet::ColumnType::Guid, {g}), "c\n{01234567-89AB-CDEF-0123-456789ABCDEF}\n");
  static const std::byte raw[] = {std::byte{0x00}, std::byte{0xAB}, std::byte{0x7F}};
  jet::Value b, empty;
  b.null = empty.null = false;
  b.bytes = raw;
  EXPECT_EQ(csvOf(jet::ColumnType::OLE, {b, empty, jet::Value{}}), "c\n00ab7f\n\"\"\n\n");
}

jettest::ProcessResult cli(std::vector<std::string> args) {
  args.insert(args.begin(), jettest::cliPath());
  return jettest::runProcess(args);
}

TEST(Cli, ExportsATable) {
  auto path = fixtures::mdb("V2000_test.mdb");
  REQUIRE_FIXTURE(path);
  auto r = cli({"export", path.string(), "Table1"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "A,B,C,D,E,F,G,H,I\n"
            "abcdefg,hijklmnop,2,222,333333333,444.555,1974-09-21 00:00:00,3.5,true\n"
            "a,b,0,0,0,0,1981-12-12 00:00:00,0,false\n");
}

TEST(Cli, ListsTheCatalogue) {
  auto path = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(path);
  auto r = cli({"tables", path.string()});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out.starts_with("SYSTEM TABLE\tMSysAccessObjects\nSYSTEM TABLE\tMSysACEs\n")) << r.out;
  EXPECT_NE(r.out.find("\nSYSTEM TABLE\tMSysRelationships\nTABLE\tCategories\nTABLE\tCustomers\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nTABLE\tUmsätze\nVIEW\tAlphabetical List of Products\n"), std::string::npos);
  EXPECT_TRUE(r.out.ends_with("\nVIEW\tTen Most Expensive Products\n"));
}

TEST(Cli, DescribesATable) {
  auto path = fixtures::mdb("V2000_test.mdb");
  REQUIRE_FIXTURE(path);
  auto r = cli({"schema", path.string(), "Table1"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "table\tTable1\n"
            "column\tA\tText\t50\t0\t0\tNULL\n"
            "column\tB\tText\t100\t0\t0\tNULL\n"
            "column\tC\tByte\t1\t0\t0\tNULL\n"
            "column\tD\tInteger\t2\t0\t0\tNULL\n"
            "column\tE\tLong\t4\t0\t0\tNULL\n"
            "column\tF\tDouble\t8\t0\t0\tNULL\n"
            "column\tG\tDateTime\t8\t0\t0\tNULL\n"
            "column\tH\tCurrency\t8\t0\t0\tNULL\n"
            "column\tI\tBoolean\t1\t0\t0\tNOT NULL\n"
            "index\tPrimaryKey\tPRIMARY KEY REQUIRED\tA\n"
            "index\tB\tINDEX\tB\n");
  auto all = cli({"schema", fixtures::mdb("V2000_numeric.mdb").string()});
  EXPECT_EQ(all.exitCode, 0);
  EXPECT_NE(all.out.find("column\tcol2\tNumeric\t17\t18\t0\tNULL\n"), std::string::npos) << all.out;
}

TEST(Cli, Password) {
  auto path = fixtures::mdb("V2000_with-password.mdb");
  REQUIRE_FIXTURE(path);
  auto r = cli({"--password", "password", "export", path.string(), "Table1"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "ID,Data\n1,One\n2,Two\n3,Three\n");
  r = cli({"export", path.string(), "Table1"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "tabrix-cli: The database is protected by a password, and none was given.\n");
  r = cli({"tables", path.string(), "--password", "wrong"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tabrix-cli: The database password is not valid.\n");
}

TEST(Cli, Errors) {
  auto path = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(path);
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string err;
  };
  const Case cases[] = {
      {{"export", path.string(), "Nothing"}, 1, "tabrix-cli: " + path.string() + " has no table named Nothing.\n"},
      {{"export", path.string(), "Invoices"}, 1, "tabrix-cli: Invoices is a saved query, not a table.\n"},
      {{"tables", "/nonexistent/x.mdb"}, 1, "tabrix-cli: Cannot open /nonexistent/x.mdb: No such file or directory.\n"},
      {{"tables", jettest::cliPath()}, 1, "tabrix-cli: " + jettest::cliPath() + " is not an Access database.\n"},
      {{"export", path.string()}, 2, ""},
      {{"frobnicate", path.string()}, 2, ""},
      {{}, 2, ""},
      {{"tables", path.string(), "--password"}, 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "" : c.args[0]);
    auto r = cli(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_EQ(r.out, "");
    if (c.exitCode == 2)
      EXPECT_TRUE(r.err.starts_with("usage: tabrix-cli")) << r.err;
    else
      EXPECT_EQ(r.err, c.err);
  }
}

TEST(Cli, FailedWriteIsReported) {
  auto path = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(path);
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  auto r = jettest::runProcess(
      {"sh", "-c", "exec \"$0\" export \"$1\" Orders > /dev/full", jettest::cliPath(), path.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tabrix-cli: cannot write the output: No space left on device\n");
}

}  // namespace
