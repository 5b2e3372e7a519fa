#include <gtest/gtest.h>

#include "data/connection_string.h"
#include "data/errors.h"
#include "data/odbc_connection_string.h"
#include "qt_printers.h"

namespace tabrix {
namespace {

const QString kMainWindowString = QStringLiteral(
    "Provider=MSDASQL.1;Persist Security Info=False;Password=;User ID=admin;Extended "
    "Properties=\"DBQ=C:\\Bazy\\sklep.mdb;DefaultDir=C:\\Bazy\\;Driver={Microsoft Access Driver "
    "(*.mdb)};DriverId=25;FIL=MS Access;MaxBufferSize=2048;MaxScanRows=8;PageTimeout=5;SafeTransactions=0;"
    "Threads=3;UID=admin;UserCommitSync=Yes;\";");

TEST(ConnectionStringTest, ReadsTheMainWindowsString) {
  const ConnectionString settings = ConnectionString::parse(kMainWindowString);
  EXPECT_EQ(settings.value("provider"), "MSDASQL.1");
  EXPECT_EQ(settings.value("Password"), "");
  EXPECT_EQ(settings.value("USER ID"), "admin");
  EXPECT_EQ(settings.value("Extended Properties"),
            "DBQ=C:\\Bazy\\sklep.mdb;DefaultDir=C:\\Bazy\\;Driver={Microsoft Access Driver (*.mdb)};DriverId=25;"
            "FIL=MS Access;MaxBufferSize=2048;MaxScanRows=8;PageTimeout=5;SafeTransactions=0;Threads=3;UID=admin;"
            "UserCommitSync=Yes;");
  EXPECT_EQ(settings.value("Data Source"), std::nullopt);
}

TEST(ConnectionStringTest, QuotesBlanksAndRepeatedKeys) {
  struct Case {
    const char* text;
    const char* key;
    const char* value;
  } cases[] = {
      {"a = x y ;b=2", "a", "x y"},
      {"a='it''s;here';b=2", "a", "it's;here"},
      {"a=\"say \"\"hi\"\"\" ; b=2", "a", "say \"hi\""},
      {"a=1;a=2", "a", "2"},
      {"Password=x=y", "password", "x=y"},
      {";;a=1;;", "a", "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(ConnectionString::parse(c.text).value(c.key), c.value) << c.text;
}

TEST(ConnectionStringTest, MalformedStringsAreProviderErrors) {
  for (const char* text : {"a=\"open", "a=\"x\" junk;b=1", "novalue;a=1", "=1"})
    EXPECT_THROW(ConnectionString::parse(text), ProviderError) << text;
}

TEST(ConnectionStringTest, LoginUserNameFollowsTheFirstUserId) {
  EXPECT_EQ(loginUserName(kMainWindowString), "admin");
  EXPECT_EQ(loginUserName("user id=Ola;User ID=admin;"), "Ola");
  EXPECT_EQ(loginUserName("a=1;USER ID=Jan Kowalski"), "Jan Kowalski");
  EXPECT_EQ(loginUserName("a=1;USERID=x;"), "");
  EXPECT_EQ(loginUserName(""), "");
}

TEST(OdbcConnectionStringTest, ReadsBracedValuesAndKeepsTheRest) {
  OdbcConnectionString odbc = OdbcConnectionString::parse(
      "DBQ=/a/b.mdb;Driver={Microsoft Access Driver (*.mdb)};PWD={se;cr}}et};UID=admin;UID=other;odd piece");
  EXPECT_EQ(odbc.value("driver"), "Microsoft Access Driver (*.mdb)");
  EXPECT_EQ(odbc.value("PWD"), "se;cr}et");
  EXPECT_EQ(odbc.value("uid"), "admin");
  EXPECT_EQ(odbc.value("DSN"), std::nullopt);

  odbc.set("UID", "Jan");
  odbc.set("PWD", "a;b}");
  EXPECT_EQ(odbc.toString(), "DBQ=/a/b.mdb;Driver={Microsoft Access Driver (*.mdb)};odd piece;UID=Jan;PWD={a;b}}};");
  EXPECT_EQ(OdbcConnectionString::parse(odbc.toString()).value("PWD"), "a;b}");
}

TEST(OdbcConnectionStringTest, BracesValuesThatWouldNotSurviveBare) {
  // A value is read up to the next ";" and its blanks trimmed: whatever
  // holds either goes in braces.
  for (const char* value : {" pw ", "pw ", " pw", "\tpw", "a;b", "{x", "x}", "x}}y", "", "a=b", "zażółć"}) {
    OdbcConnectionString odbc = OdbcConnectionString::parse("Driver={x};PWD=old;");
    odbc.set("PWD", QString::fromUtf8(value));
    EXPECT_EQ(OdbcConnectionString::parse(odbc.toString()).value("pwd"), QString::fromUtf8(value))
        << value << " became " << odbc.toString().toStdString();
  }
}

TEST(ProviderErrorTest, DropsTrailingBlanksControlCharactersAndFullStops) {
  EXPECT_EQ(ProviderError("Syntax error in FROM clause. \r\n").text(), "Syntax error in FROM clause");
  EXPECT_EQ(ProviderError("Wait... what?\t.").text(), "Wait... what?");
  EXPECT_EQ(ProviderError("Zażółć").text(), "Zażółć");
  EXPECT_EQ(ProviderError(" . ").text(), "");
}

TEST(DatabaseErrorTest, NamesTheComponentFirst) {
  EXPECT_EQ(DatabaseError("ADOQuery", "Missing SQL property").text(), "ADOQuery: Missing SQL property");
}

}  // namespace
}  // namespace tabrix
