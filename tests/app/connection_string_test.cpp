#include "app/connection_string.h"

#include <gtest/gtest.h>

#include "dialog_printers.h"

namespace tabrix {
namespace {

// The whole string with the variable pieces filled in.
QString expected(const char* password, const char* file, const char* folder) {
  return QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;Password=") + QString::fromUtf8(password) +
         ";User ID=admin;Extended Properties=\"DBQ=" + QString::fromUtf8(file) + ";DefaultDir=" +
         QString::fromUtf8(folder) +
         ";Driver={Microsoft Access Driver (*.mdb)};DriverId=25;FIL=MS Access;MaxBufferSize=2048;"
         "MaxScanRows=8;PageTimeout=5;SafeTransactions=0;Threads=3;UID=admin;UserCommitSync=Yes;\";";
}

TEST(ConnectionString, WorkedExampleByteForByte) {
  EXPECT_EQ(connectionString("", "C:\\Bazy\\sklep.mdb"),
            "Provider=MSDASQL.1;Persist Security Info=False;Password=;User ID=admin;Extended "
            "Properties=\"DBQ=C:\\Bazy\\sklep.mdb;DefaultDir=C:\\Bazy\\;Driver={Microsoft Access Driver "
            "(*.mdb)};DriverId=25;FIL=MS Access;MaxBufferSize=2048;MaxScanRows=8;PageTimeout=5;SafeTransactions=0;"
            "Threads=3;UID=admin;UserCommitSync=Yes;\";");
}

struct Case {
  const char* password;
  const char* file;
  const char* folder;
};

class ConnectionStringTest : public testing::TestWithParam<Case> {};

TEST_P(ConnectionStringTest, ValuesGoInAsTheyAre) {
  const Case& c = GetParam();
  EXPECT_EQ(connectionString(QString::fromUtf8(c.password), QString::fromUtf8(c.file)),
            expected(c.password, c.file, c.folder));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConnectionStringTest,
    testing::Values(Case{"", "C:\\x.mdb", "C:\\"}, Case{"tajne", "C:\\Bazy\\sklep.mdb", "C:\\Bazy\\"},
                    Case{"", "/home/jan/bazy/sklep.mdb", "/home/jan/bazy/"}, Case{"", "/x.mdb", "/"},
                    Case{"", "D:x.mdb", "D:"}, Case{"", "x.mdb", ""},
                    Case{"a;b\"c", "/a b/c:d.mdb", "/a b/c:"}, Case{"zażółć", "/dane/Umsätze.mdb", "/dane/"}));

}  // namespace
}  // namespace tabrix
