#include <gtest/gtest.h>

#include <QFile>

#include "data/connection.h"
#include "data/errors.h"
#include "data/query_dataset.h"
#include "scripted_dialogs.h"
#include "sql/report_file.h"
#include "sql/write_report.h"
#include "sqlite_database.h"

namespace tabrix {
namespace {

// A query over a real driver whose move to the third row fails: the second
// row is edited while the report walks it, and deleted underneath, so the
// move that posts the edit meets the driver's refusal.
TEST(ReportFailure, RowErrorStillWritesTheLastLineClosesTheFileThenGoesOn) {
  SqliteDatabase db(
      "CREATE TABLE osoby(id INTEGER PRIMARY KEY, nazwa VARCHAR(20));"
      "INSERT INTO osoby VALUES (1, 'Kowalski'), (2, 'Nowak'), (3, 'Adamski');");
  Connection connection;
  connection.setObjectName("ADOConnection");
  connection.setConnectionString(db.connectionString());
  connection.open();
  QueryDataset query;
  query.setObjectName("ADOQuery");
  query.setConnection(&connection);
  query.setSql({"SELECT id, nazwa FROM osoby ORDER BY id"});
  query.open();
  QObject::connect(&query, &Dataset::currentChanged, [&](int position) {
    if (position != 1 || query.state() != DatasetState::Browse) return;
    query.edit();
    query.field(1).setText("Nowakowska");
    db.run("DELETE FROM osoby WHERE id = 2");
  });

  ScriptedDialogs dialogs;
  fixtures::TempDir dir;
  const QString file = QString::fromStdString((dir.path() / "raport.txt").string());
  dialogs.expectSaveFile([&](const FileDialogSetup&) { return file; });
  FileDialogSetup saveDialog = reportSaveDialog();
  ReportFile destination(saveDialog);
  const ReportContext context{QLocale(QLocale::Swedish, QLocale::Sweden),
                              [] { return QDateTime(QDate(2015, 3, 2), QTime(14, 5, 9)); }};
  EXPECT_THROW(WriteReport(query, {.noPad = true}, destination, context), ProviderError);

  // Closed: the file can be removed and read whole, the last line included.
  QFile written(file);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll().toStdString(),
            "Wydruk SQLa\r\n"
            "lk id nazwa \r\n"
            " 1 1 Kowalski \r\n"
            " 2 2 Nowakowska \r\n"
            "Koniec 2015-03-02 14:05:09\r\n");
  EXPECT_TRUE(QFile::remove(file));
}

}  // namespace
}  // namespace tabrix
