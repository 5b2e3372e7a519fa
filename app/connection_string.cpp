#include "app/connection_string.h"

#include <algorithm>

namespace tabrix {

QString connectionFolder(const QString& fileName) {
  const qsizetype last = std::max({fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')),
                                   fileName.lastIndexOf(QLatin1Char(':'))});
  return fileName.left(last + 1);
}

QString connectionString(const QString& password, const QString& fileName) {
  QString result = QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;");
  result += QStringLiteral("Password=") + password + QLatin1Char(';');
  result += QStringLiteral("User ID=admin;");
  result += QStringLiteral("Extended Properties=\"DBQ=") + fileName + QLatin1Char(';');
  result += QStringLiteral("DefaultDir=") + connectionFolder(fileName) + QLatin1Char(';');
  result += QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};");
  result += QStringLiteral("DriverId=25;FIL=MS Access;");
  result += QStringLiteral("MaxBufferSize=2048;MaxScanRows=8;PageTimeout=5;SafeTransactions=0;Threads=3;");
  result += QStringLiteral("UID=admin;UserCommitSync=Yes;\";");
  return result;
}

}  // namespace tabrix
