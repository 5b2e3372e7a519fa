#include <gtest/gtest.h>

#include <QSignalSpy>

#include "data/connection.h"
#include "data/data_source.h"
#include "data/errors.h"
#include "data/query_dataset.h"
#include "data/table_dataset.h"
#include "qt_printers.h"
#include "sqlite_database.h"

namespace tabrix {
namespace {

const char* const kSchema =
    "CREATE TABLE osoby(id INTEGER PRIMARY KEY, nazwa VARCHAR(20), wiek INTEGER, uwagi TEXT);"
    "INSERT INTO osoby VALUES (1, 'Kowalski', 40, 'pierwsza');"
    "INSERT INTO osoby VALUES (2, 'Nowak', 35, NULL);"
    "INSERT INTO osoby VALUES (3, 'Adamski', NULL, 'trzecia');";

// A SQLite database with a table of three people, a connection to it and
// datasets named as the windows name them.
class DatasetTest : public ::testing::Test {
 protected:
  DatasetTest() : db(kSchema) {
    connection.setObjectName("ADOConnection");
    connection.setConnectionString(db.connectionString());
    connection.open();
  }

  std::unique_ptr<TableDataset> table(const QString& name = "osoby") {
    auto dataset = std::make_unique<TableDataset>();
    dataset->setObjectName("ADOTable");
    dataset->setConnection(&connection);
    dataset->setTableName(name);
    return dataset;
  }

  std::unique_ptr<QueryDataset> query(const QStringList& lines) {
    auto dataset = std::make_unique<QueryDataset>();
    dataset->setObjectName("ADOQuery");
    dataset->setConnection(&connection);
    dataset->setSql(lines);
    return dataset;
  }

  std::string name(int id) { return db.scalar("SELECT nazwa FROM osoby WHERE id = " + std::to_string(id)); }

  SqliteDatabase db;
  Connection connection;
};

template <typename F>
QString databaseErrorOf(F action) {
  try {
    action();
  } catch (const DatabaseError& e) {
    return e.text();
  }
  return "<no DatabaseError>";
}

TEST_F(DatasetTest, OpensEveryRowAndMoves) {
  auto t = table();
  QSignalSpy before(t.get(), &Dataset::beforeOpen);
  QSignalSpy after(t.get(), &Dataset::afterOpen);
  t->open();
  EXPECT_EQ(before.count(), 1);
  EXPECT_EQ(after.count(), 1);
  EXPECT_EQ(t->state(), DatasetState::Browse);
  ASSERT_EQ(t->fieldCount(), 4);
  EXPECT_EQ(t->field(1).name(), "nazwa");
  EXPECT_EQ(t->field(1).dataType(), DataType::VarChar);
  EXPECT_EQ(t->field(1).displayWidth(), 20);
  EXPECT_EQ(t->field(2).dataType(), DataType::Integer);
  EXPECT_TRUE(t->field(3).isLargeObject());
  EXPECT_EQ(t->recordCount(), 3);

  EXPECT_TRUE(t->bof());
  EXPECT_FALSE(t->eof());
  EXPECT_EQ(t->recNo(), 1);
  EXPECT_EQ(t->fieldByName("NAZWA").text(), "Kowalski");
  t->next();
  EXPECT_FALSE(t->bof());
  EXPECT_EQ(t->fieldByName("nazwa").value(), QVariant("Nowak"));
  t->next();
  t->next();  // past the last row: eof, still on it
  EXPECT_TRUE(t->eof());
  EXPECT_EQ(t->recNo(), 3);
  EXPECT_TRUE(t->fieldByName("wiek").isNull());
  EXPECT_EQ(t->fieldByName("wiek").text(), "");
  t->prior();
  EXPECT_EQ(t->recNo(), 2);
  EXPECT_FALSE(t->eof());
  t->first();
  t->prior();
  EXPECT_TRUE(t->bof());
  EXPECT_EQ(t->recNo(), 1);
  t->last();
  EXPECT_TRUE(t->eof());
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Adamski");
  t->setRecNo(2);
  EXPECT_EQ(t->fieldByName("id").text(), "2");
  EXPECT_EQ(t->textAt(0, 1), "Kowalski");  // any row, without moving
  EXPECT_EQ(t->recNo(), 2);

  // The report's walk: first, then next until eof.
  QStringList seen;
  for (t->first(); !t->eof(); t->next()) seen << t->fieldByName("nazwa").text();
  EXPECT_EQ(seen, QStringList({"Kowalski", "Nowak", "Adamski"}));
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Adamski");
}

TEST_F(DatasetTest, EmptyTableIsBofAndEof) {
  db.run("CREATE TABLE pusta(id INTEGER PRIMARY KEY, a VARCHAR(5));");
  auto t = table("pusta");
  t->open();
  EXPECT_EQ(t->recordCount(), 0);
  EXPECT_TRUE(t->bof());
  EXPECT_TRUE(t->eof());
  EXPECT_EQ(t->recNo(), 0);
  EXPECT_TRUE(t->fieldByName("a").isNull());
  t->next();
  EXPECT_TRUE(t->eof());
  t->edit();  // edit on an empty table starts a new row
  EXPECT_EQ(t->state(), DatasetState::Insert);
  t->fieldByName("a").setText("x");
  t->post();
  EXPECT_EQ(db.scalar("SELECT a FROM pusta"), "x");
  EXPECT_EQ(t->recordCount(), 1);
}

TEST_F(DatasetTest, EditPostWritesOnlyTheChangedColumns) {
  auto t = table();
  t->open();
  t->edit();
  EXPECT_EQ(t->state(), DatasetState::Edit);
  EXPECT_FALSE(t->modified());
  t->fieldByName("nazwa").setText("Kowalska");
  EXPECT_TRUE(t->modified());
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Kowalska");
  EXPECT_EQ(name(1), "Kowalski");  // nothing written before the post

  // Someone changes the memo meanwhile; a memo is no part of the row's
  // identity, and the post must not write back the old one.
  db.run("UPDATE osoby SET uwagi = 'zmieniona' WHERE id = 1");
  t->post();
  EXPECT_EQ(t->state(), DatasetState::Browse);
  EXPECT_EQ(name(1), "Kowalska");
  EXPECT_EQ(db.scalar("SELECT uwagi FROM osoby WHERE id = 1"), "zmieniona");
  EXPECT_EQ(db.scalar("SELECT wiek FROM osoby WHERE id = 1"), "40");
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Kowalska");

  // The posted row can be edited again: its new values identify it.
  t->edit();
  t->fieldByName("wiek").setText("41");
  t->post();
  EXPECT_EQ(db.scalar("SELECT wiek FROM osoby WHERE id = 1"), "41");
}

TEST_F(DatasetTest, CancelDropsTheEdit) {
  auto t = table();
  t->open();
  t->edit();
  t->fieldByName("nazwa").setText("Zmiana");
  t->fieldByName("wiek").clear();
  t->cancel();
  EXPECT_EQ(t->state(), DatasetState::Browse);
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Kowalski");
  EXPECT_EQ(t->fieldByName("wiek").text(), "40");
  EXPECT_EQ(name(1), "Kowalski");
}

TEST_F(DatasetTest, InsertGoesBeforeTheCurrentRowAndReadsBackTheKey) {
  auto t = table();
  t->open();
  t->setRecNo(2);
  QSignalSpy inserted(t.get(), &Dataset::rowInserted);
  t->insert();
  EXPECT_EQ(t->state(), DatasetState::Insert);
  EXPECT_EQ(inserted.count(), 1);
  EXPECT_EQ(inserted.at(0).at(0).toInt(), 1);
  EXPECT_EQ(t->recNo(), 2);
  EXPECT_EQ(t->recordCount(), 4);
  EXPECT_TRUE(t->fieldByName("nazwa").isNull());
  t->fieldByName("nazwa").setText("Wiśniewski");
  t->fieldByName("wiek").setValue(28);
  t->post();
  EXPECT_EQ(t->state(), DatasetState::Browse);
  EXPECT_EQ(t->recNo(), 2);
  EXPECT_EQ(t->fieldByName("id").text(), "4");  // filled in by the database
  EXPECT_EQ(db.scalar("SELECT nazwa FROM osoby WHERE id = 4"), "Wiśniewski");
  EXPECT_EQ(t->textAt(0, 1), "Kowalski");
  EXPECT_EQ(t->textAt(2, 1), "Nowak");

  t->append();
  EXPECT_EQ(t->recNo(), 5);
  EXPECT_TRUE(t->eof());
  t->fieldByName("nazwa").setText("Zieliński");
  t->post();
  EXPECT_EQ(t->recordCount(), 5);
  EXPECT_EQ(t->textAt(4, 1), "Zieliński");
  EXPECT_EQ(db.scalar("SELECT count(*) FROM osoby"), "5");
}

TEST_F(DatasetTest, IdenticalNewRowsGetTheirOwnKeys) {
  auto t = table();
  t->open();
  for (int i = 0; i < 2; ++i) {
    t->append();
    t->fieldByName("nazwa").setText("Bliźniak");
    t->post();
  }
  EXPECT_EQ(t->textAt(3, 0), "4");
  EXPECT_EQ(t->textAt(4, 0), "5");
  // Each can then be changed on its own.
  t->edit();
  t->fieldByName("wiek").setText("2");
  t->post();
  EXPECT_EQ(db.scalar("SELECT wiek FROM osoby WHERE id = 5"), "2");
  EXPECT_EQ(db.scalar("SELECT wiek FROM osoby WHERE id = 4"), "NULL");
}

TEST_F(DatasetTest, CancelledInsertLeavesNoRow) {
  auto t = table();
  t->open();
  t->setRecNo(2);
  QSignalSpy removed(t.get(), &Dataset::rowRemoved);
  t->insert();
  t->fieldByName("nazwa").setText("Nikt");
  t->cancel();
  EXPECT_EQ(removed.count(), 1);
  EXPECT_EQ(t->recordCount(), 3);
  EXPECT_EQ(t->recNo(), 2);
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Nowak");
  EXPECT_EQ(db.scalar("SELECT count(*) FROM osoby"), "3");
}

TEST_F(DatasetTest, DeleteRemovesTheRowEverywhere) {
  auto t = table();
  t->open();
  t->setRecNo(2);
  t->remove();
  EXPECT_EQ(t->recordCount(), 2);
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Adamski");
  EXPECT_EQ(db.scalar("SELECT count(*) FROM osoby WHERE id = 2"), "0");
  t->last();
  t->remove();
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Kowalski");
  t->remove();
  EXPECT_EQ(t->recordCount(), 0);
  EXPECT_EQ(databaseErrorOf([&] { t->remove(); }), "ADOTable: Cannot perform this operation on an empty dataset");
}

TEST_F(DatasetTest, RefreshReadsAgainAndKeepsTheRow) {
  auto t = table();
  t->open();
  t->setRecNo(3);
  db.run("UPDATE osoby SET nazwa = 'Adamska' WHERE id = 3; DELETE FROM osoby WHERE id = 1;"
         "INSERT INTO osoby VALUES (9, 'Nowy', 1, NULL);");
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Adamski");  // the copy in memory
  t->refresh();
  EXPECT_EQ(t->recordCount(), 3);
  EXPECT_EQ(t->fieldByName("id").text(), "3");
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Adamska");
}

TEST_F(DatasetTest, AConcurrentChangeFailsThePostAndOverwritesNothing) {
  auto first = table();
  auto second = table();
  first->open();
  second->open();
  first->edit();
  first->fieldByName("wiek").setText("50");

  second->edit();
  second->fieldByName("nazwa").setText("Kowalczyk");
  second->post();

  try {
    first->post();
    FAIL() << "posted over a row changed since it was read";
  } catch (const ProviderError& e) {
    EXPECT_TRUE(e.text().startsWith("Row cannot be located for updating")) << e.text().toStdString();
  }
  EXPECT_EQ(first->state(), DatasetState::Edit);  // the edit is still there to cancel
  EXPECT_EQ(name(1), "Kowalczyk");
  EXPECT_EQ(db.scalar("SELECT wiek FROM osoby WHERE id = 1"), "40");

  // A row deleted underneath can't be deleted or changed either.
  first->cancel();
  first->next();
  second->next();
  second->remove();
  EXPECT_THROW(first->remove(), ProviderError);
  first->edit();
  first->fieldByName("nazwa").setText("Duch");
  EXPECT_THROW(first->post(), ProviderError);
  EXPECT_EQ(db.scalar("SELECT count(*) FROM osoby WHERE nazwa = 'Duch'"), "0");
}

TEST_F(DatasetTest, RowsWithoutKeyAreFoundByAllTheirValues) {
  db.run("CREATE TABLE bez(a VARCHAR(5), b INTEGER); INSERT INTO bez VALUES ('x', 1); INSERT INTO bez VALUES ('x', 1);"
         "INSERT INTO bez VALUES ('y', 2);");
  auto t = table("bez");
  t->open();
  t->last();
  t->edit();
  t->fieldByName("b").setText("3");
  t->post();
  EXPECT_EQ(db.scalar("SELECT b FROM bez WHERE a = 'y'"), "3");

  // Two identical rows: a change to one can't tell them apart, and must not
  // change both.
  t->first();
  t->edit();
  t->fieldByName("b").setText("7");
  EXPECT_THROW(t->post(), ProviderError);
  EXPECT_EQ(db.scalar("SELECT count(*) FROM bez WHERE b = 1"), "2");
}

TEST_F(DatasetTest, ANullOriginalValueStillIdentifiesTheRow) {
  db.run("CREATE TABLE bez(a VARCHAR(5), b INTEGER); INSERT INTO bez VALUES ('x', NULL); INSERT INTO bez VALUES ('x', 5);");
  auto t = table("bez");
  t->open();
  ASSERT_TRUE(t->fieldByName("b").isNull());
  t->edit();
  t->fieldByName("a").setText("y");
  t->post();  // the null must count: ('x', 5) is another row
  EXPECT_EQ(db.scalar("SELECT count(*) FROM bez WHERE a = 'y' AND b IS NULL"), "1");
  EXPECT_EQ(db.scalar("SELECT a FROM bez WHERE b = 5"), "x");

  // Someone fills the null in meanwhile: the row is no longer the one read.
  db.run("UPDATE bez SET b = 7 WHERE a = 'y'");
  t->edit();
  t->fieldByName("a").setText("z");
  EXPECT_THROW(t->post(), ProviderError);
  t->cancel();
  EXPECT_THROW(t->remove(), ProviderError);
  EXPECT_EQ(db.scalar("SELECT a FROM bez WHERE b = 7"), "y");
  EXPECT_EQ(db.scalar("SELECT count(*) FROM bez"), "2");
}

TEST_F(DatasetTest, MovingAwayPostsAChangedRowAndDropsAnUnchangedOne) {
  auto t = table();
  t->open();
  t->edit();
  t->fieldByName("nazwa").setText("Kowalska");
  t->next();
  EXPECT_EQ(t->state(), DatasetState::Browse);
  EXPECT_EQ(t->recNo(), 2);
  EXPECT_EQ(name(1), "Kowalska");

  t->edit();
  t->prior();  // unchanged: cancelled, nothing written
  EXPECT_EQ(t->state(), DatasetState::Browse);
  EXPECT_EQ(t->recNo(), 1);

  t->insert();
  t->last();  // a new row nothing was typed into is dropped
  EXPECT_EQ(t->state(), DatasetState::Browse);
  EXPECT_EQ(t->recordCount(), 3);
  EXPECT_EQ(db.scalar("SELECT count(*) FROM osoby"), "3");

  t->append();
  t->fieldByName("nazwa").setText("Nowy");
  t->first();  // a typed new row is written
  EXPECT_EQ(t->recordCount(), 4);
  EXPECT_EQ(db.scalar("SELECT count(*) FROM osoby WHERE nazwa = 'Nowy'"), "1");

  t->edit();
  t->fieldByName("wiek").setText("44");
  t->refresh();  // refresh too writes first
  EXPECT_EQ(db.scalar("SELECT wiek FROM osoby WHERE id = 1"), "44");
}

TEST_F(DatasetTest, ClosingTheConnectionClosesItsDatasets) {
  auto t = table();
  auto q = query({"SELECT * FROM osoby"});
  t->open();
  q->open();
  t->edit();
  t->fieldByName("nazwa").setText("Niezapisany");
  QSignalSpy tableState(t.get(), &Dataset::stateChanged);
  QSignalSpy queryState(q.get(), &Dataset::stateChanged);
  connection.close();
  EXPECT_EQ(t->state(), DatasetState::Inactive);
  EXPECT_EQ(q->state(), DatasetState::Inactive);
  EXPECT_EQ(t->fieldCount(), 0);
  EXPECT_EQ(t->recordCount(), 0);
  ASSERT_EQ(tableState.count(), 1);
  EXPECT_EQ(tableState.at(0).at(0).value<DatasetState>(), DatasetState::Inactive);
  EXPECT_EQ(queryState.count(), 1);
  EXPECT_EQ(name(1), "Kowalski");

  // Nothing reconnects by itself.
  EXPECT_THROW(t->open(), ProviderError);
  EXPECT_FALSE(connection.connected());
  EXPECT_EQ(t->state(), DatasetState::Inactive);
  connection.open();
  EXPECT_EQ(t->state(), DatasetState::Inactive);
  t->open();
  EXPECT_EQ(t->recordCount(), 3);
}

TEST_F(DatasetTest, DatabaseErrorsNameTheDataset) {
  auto t = table("");
  EXPECT_EQ(databaseErrorOf([&] { t->open(); }), "ADOTable: Missing TableName property");
  EXPECT_EQ(t->state(), DatasetState::Inactive);

  auto q = query({});
  EXPECT_EQ(databaseErrorOf([&] { q->open(); }), "ADOQuery: Missing SQL property");
  EXPECT_EQ(databaseErrorOf([&] { q->execute(); }), "ADOQuery: Missing SQL property");

  // A statement without rows runs, then fails the open.
  q->setSql({"UPDATE osoby", "SET wiek = 99 WHERE id = 2"});
  EXPECT_EQ(databaseErrorOf([&] { q->open(); }), "ADOQuery: CommandText does not return a result set");
  EXPECT_EQ(q->state(), DatasetState::Inactive);
  EXPECT_EQ(db.scalar("SELECT wiek FROM osoby WHERE id = 2"), "99");

  auto browsing = table();
  browsing->open();
  EXPECT_EQ(databaseErrorOf([&] { browsing->fieldByName("nazwa").setText("x"); }),
            "ADOTable: Dataset not in edit or insert mode");
  EXPECT_EQ(databaseErrorOf([&] { browsing->post(); }), "ADOTable: Dataset not in edit or insert mode");
  EXPECT_EQ(databaseErrorOf([&] { browsing->fieldByName("brak"); }), "ADOTable: Field 'brak' not found");
  browsing->edit();
  EXPECT_EQ(databaseErrorOf([&] { browsing->fieldByName("wiek").setText("abc"); }),
            "ADOTable: 'abc' is not a valid integer value");
  EXPECT_EQ(databaseErrorOf([&] { browsing->setTableName("inna"); }),
            "ADOTable: Cannot perform this operation on an open dataset");
}

TEST_F(DatasetTest, DriverErrorsAreProviderErrors) {
  auto q = query({"SELEC * FROM osoby"});
  EXPECT_THROW(q->open(), ProviderError);
  EXPECT_EQ(q->state(), DatasetState::Inactive);
  auto missing = table("nie_ma");
  EXPECT_THROW(missing->open(), ProviderError);
  auto detached = std::make_unique<QueryDataset>();
  detached->setObjectName("ADOQuery");
  detached->setSql({"SELECT 1"});
  EXPECT_EQ(databaseErrorOf([&] { detached->open(); }), "ADOQuery: Missing Connection or ConnectionString");
}

TEST_F(DatasetTest, QueryLinesAreSentEndedByCrLf) {
  auto q = query({"SELECT nazwa", "FROM osoby", "WHERE id = 2"});
  EXPECT_EQ(q->commandText(), "SELECT nazwa\r\nFROM osoby\r\nWHERE id = 2\r\n");
  q->open();
  EXPECT_EQ(q->recordCount(), 1);
  EXPECT_EQ(q->field(0).text(), "Nowak");

  auto exec = query({"INSERT INTO osoby(nazwa)", "VALUES ('Przez execute')"});
  exec->execute();
  EXPECT_EQ(exec->state(), DatasetState::Inactive);
  EXPECT_EQ(db.scalar("SELECT count(*) FROM osoby WHERE nazwa = 'Przez execute'"), "1");
}

TEST_F(DatasetTest, AQueryOverOneTableIsEditableAJoinIsNot) {
  auto q = query({"SELECT id, nazwa, wiek * 2 AS podwojny FROM osoby WHERE wiek IS NOT NULL"});
  q->open();
  EXPECT_TRUE(q->canModify());
  EXPECT_FALSE(q->fieldByName("podwojny").canModify());
  q->next();
  q->edit();
  q->fieldByName("nazwa").setText("Nowakowa");
  EXPECT_THROW(q->fieldByName("podwojny").setText("1"), DatabaseError);
  q->post();
  EXPECT_EQ(name(2), "Nowakowa");

  db.run("CREATE TABLE miasta(id INTEGER PRIMARY KEY, osoba INTEGER, miasto VARCHAR(20));"
         "INSERT INTO miasta VALUES (1, 1, 'Kraków');");
  auto join = query({"SELECT o.nazwa, m.miasto FROM osoby o JOIN miasta m ON m.osoba = o.id"});
  join->open();
  EXPECT_FALSE(join->canModify());
  EXPECT_EQ(databaseErrorOf([&] { join->edit(); }), "ADOQuery: Cannot modify a read-only dataset");
  EXPECT_EQ(databaseErrorOf([&] { join->insert(); }), "ADOQuery: Cannot modify a read-only dataset");
  EXPECT_EQ(join->state(), DatasetState::Browse);
}

TEST_F(DatasetTest, TableNamesWithBlanksAndQuotesOpenBareOrInBrackets) {
  db.run("CREATE TABLE \"moja tabela\"(id INTEGER PRIMARY KEY, a VARCHAR(5)); INSERT INTO \"moja tabela\" VALUES (1, 'x');"
         "CREATE TABLE \"cudzy\"\"słów\"(id INTEGER PRIMARY KEY, a VARCHAR(5)); INSERT INTO \"cudzy\"\"słów\" VALUES (1, 'q');");
  for (const char* name : {"moja tabela", "[moja tabela]"}) {
    auto t = table(name);
    t->open();
    EXPECT_EQ(t->fieldByName("a").text(), "x") << name;
  }
  auto t = table("moja tabela");
  t->open();
  t->edit();
  t->fieldByName("a").setText("y");
  t->post();
  EXPECT_EQ(db.scalar("SELECT a FROM \"moja tabela\""), "y");

  auto quoted = table(QString::fromUtf8("cudzy\"słów"));
  quoted->open();
  EXPECT_EQ(quoted->fieldByName("a").text(), "q");
  quoted->edit();
  quoted->fieldByName("a").setText("r");
  quoted->post();
  EXPECT_EQ(db.scalar("SELECT a FROM \"cudzy\"\"słów\""), "r");
}

TEST_F(DatasetTest, UnnamedAndRepeatedColumnsGetNames) {
  auto q = query({"SELECT nazwa, nazwa, 1 AS \"\", wiek AS nazwa_1, 2 AS \"\" FROM osoby"});
  q->open();
  QStringList names;
  for (int i = 0; i < q->fieldCount(); ++i) names << q->field(i).name();
  EXPECT_EQ(names, QStringList({"nazwa", "nazwa_1", "COLUMN1", "nazwa_1_1", "COLUMN2"}));
}

TEST_F(DatasetTest, LocatePicksTheFirstInAscendingOrder) {
  db.run("CREATE TABLE l(id INTEGER PRIMARY KEY, nazwa VARCHAR(20), liczba INTEGER);"
         "INSERT INTO l VALUES (1, 'Anna', 123); INSERT INTO l VALUES (2, 'adam', 12);"
         "INSERT INTO l VALUES (3, 'Ala', 5); INSERT INTO l VALUES (4, 'ANDRZEJ', 12);"
         "INSERT INTO l VALUES (5, 'Bogdan', NULL);");
  auto t = table("l");
  t->open();
  t->last();
  EXPECT_TRUE(t->locate("nazwa", "a"));
  EXPECT_EQ(t->fieldByName("nazwa").text(), "adam");
  EXPECT_TRUE(t->locate("nazwa", "an"));
  EXPECT_EQ(t->fieldByName("nazwa").text(), "ANDRZEJ");
  EXPECT_TRUE(t->locate("NAZWA", "ANN"));
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Anna");
  EXPECT_FALSE(t->locate("nazwa", "c"));
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Anna");  // nothing moved

  EXPECT_TRUE(t->locate("liczba", "12"));
  EXPECT_EQ(t->fieldByName("id").text(), "2");  // 12, not 123; of two 12s the first row
  EXPECT_FALSE(t->locate("liczba", "x"));
  EXPECT_FALSE(t->locate("liczba", "1"));
  EXPECT_EQ(t->fieldByName("id").text(), "2");

  // The rows change: the next search sees the new row.
  t->append();
  t->fieldByName("nazwa").setText("Aaron");
  t->post();
  t->first();
  EXPECT_TRUE(t->locate("nazwa", "a"));
  EXPECT_EQ(t->fieldByName("nazwa").text(), "Aaron");

  // A search ends a row edit first: a changed row is written.
  t->edit();
  t->fieldByName("nazwa").setText("Zenon");
  EXPECT_TRUE(t->locate("nazwa", "b"));
  EXPECT_EQ(db.scalar("SELECT count(*) FROM l WHERE nazwa = 'Zenon'"), "1");
  EXPECT_TRUE(t->locate("nazwa", "z"));
}

TEST_F(DatasetTest, RowNoticesComeAroundTheChangeOfTheCount) {
  // A grid model announces a change before it happens and confirms it after:
  // the count must still be the old one in the first notice.
  auto t = table();
  t->open();
  QStringList seen;
  const auto log = [&](const char* what) { return [&, what](int position) {
    seen << QStringLiteral("%1 %2 of %3").arg(what).arg(position).arg(t->recordCount());
  }; };
  QObject::connect(t.get(), &Dataset::aboutToInsertRow, log("about to insert"));
  QObject::connect(t.get(), &Dataset::rowInserted, log("inserted"));
  QObject::connect(t.get(), &Dataset::aboutToRemoveRow, log("about to remove"));
  QObject::connect(t.get(), &Dataset::rowRemoved, log("removed"));
  QObject::connect(t.get(), &Dataset::aboutToReset, [&] { seen << QStringLiteral("about to reset %1").arg(t->recordCount()); });
  QObject::connect(t.get(), &Dataset::rowsReset, [&] { seen << QStringLiteral("reset %1").arg(t->recordCount()); });
  t->setRecNo(2);
  t->insert();
  t->cancel();
  t->remove();
  t->refresh();
  t->close();
  EXPECT_EQ(seen, QStringList({"about to insert 1 of 3", "inserted 1 of 4", "about to remove 1 of 4", "removed 1 of 3",
                               "about to remove 1 of 3", "removed 1 of 2", "about to reset 2", "reset 2",
                               "about to reset 2", "reset 0"}));
}

TEST_F(DatasetTest, DataSourceFollowsTheDataset) {
  auto t = table();
  DataSource source;
  QSignalSpy states(&source, &DataSource::stateChanged);
  QSignalSpy data(&source, &DataSource::rowsReset);
  source.setDataset(t.get());
  EXPECT_EQ(source.state(), DatasetState::Inactive);
  EXPECT_FALSE(source.edit());
  t->open();
  EXPECT_EQ(source.state(), DatasetState::Browse);
  EXPECT_TRUE(source.edit());  // automatic editing
  EXPECT_EQ(t->state(), DatasetState::Edit);
  t->cancel();
  source.setAutoEdit(false);
  EXPECT_FALSE(source.edit());
  EXPECT_EQ(t->state(), DatasetState::Browse);

  QList<DatasetState> seen;
  for (const auto& call : states) seen << call.at(0).value<DatasetState>();
  EXPECT_EQ(seen, QList<DatasetState>({DatasetState::Opening, DatasetState::Browse, DatasetState::Edit,
                                       DatasetState::Browse}));
  EXPECT_GT(data.count(), 0);

  t.reset();
  EXPECT_EQ(source.state(), DatasetState::Inactive);
}

}  // namespace
}  // namespace tabrix
