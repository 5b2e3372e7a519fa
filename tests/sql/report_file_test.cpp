#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>

#include "data/ansi_code_page.h"
#include "fixtures.h"
#include "list_dataset.h"
#include "scripted_dialogs.h"
#include "sql/report_file.h"
#include "sql/write_report.h"

namespace tabrix {
namespace {

// Swedish writes dates and times the way the report's example shows them.
const QLocale kSwedish(QLocale::Swedish, QLocale::Sweden);
const QDateTime kFinished(QDate(2015, 3, 2), QTime(14, 5, 9));

ReportContext fixedContext(const QLocale& locale = kSwedish, const QDateTime& now = kFinished) {
  return {locale, [now] { return now; }};
}

// The example query: ID from an integer column, Nazwa from a text column of
// declared length 20, two rows.
ListDataset exampleQuery() {
  return ListDataset({ListDataset::integer("ID"), ListDataset::text("Nazwa", 20)},
                     {{std::int64_t{1}, QString("Kowalski")}, {std::int64_t{2}, QString("Nowak")}});
}

// `text` with blanks up to `width` characters.
std::string pad(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string readFile(const QString& name) {
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return "<no file>";
  return file.readAll().toStdString();
}

// Reports to a file in a temporary folder, chosen in the scripted save dialog.
class ReportFileTest : public ::testing::Test {
 protected:
  QString path(const QString& name) const { return QString::fromStdString((dir.path() / name.toStdString()).string()); }

  // The bytes of the report of `dataset`, or "<no file>".
  std::string report(Dataset& dataset, const ReportOptions& options = {},
                     const ReportContext& context = fixedContext()) {
    const QString file = path("raport.txt");
    dialogs.expectSaveFile([&](const FileDialogSetup&) { return file; });
    if (!dataset.active()) dataset.open();
    ReportFile destination(saveDialog);
    WriteReport(dataset, options, destination, context);
    return readFile(file);
  }

  fixtures::TempDir dir;
  ScriptedDialogs dialogs;
  FileDialogSetup saveDialog = reportSaveDialog();
};

TEST_F(ReportFileTest, WorkedExampleInEveryCombinationOfOptions) {
  const std::string banner = "Wydruk SQLa\r\n";
  const std::string summary = "Koniec 2015-03-02 14:05:09\r\n";
  const std::string padded =
      "lk ID________ Nazwa_______________ \r\n"
      " 1 1          Kowalski             \r\n"
      " 2 2          Nowak                \r\n";
  const std::string separated =
      "lk</>ID</>Nazwa</>\r\n"
      " 1</>1</>Kowalski</>\r\n"
      " 2</>2</>Nowak</>\r\n";
  const std::string trimmed =
      "lk ID Nazwa \r\n"
      " 1 1 Kowalski \r\n"
      " 2 2 Nowak \r\n";
  struct Case {
    ReportOptions options;
    std::string expected;
  };
  const Case cases[] = {
      {{}, banner + padded + summary},
      {{.fieldSeparator = true}, banner + separated + summary},
      {{.noPad = true}, banner + trimmed + summary},
      {{.noPad = true, .fieldSeparator = true}, banner + separated + summary},
      {{.noNumbers = true},
       banner +
           "ID________ Nazwa_______________ \r\n"
           "1          Kowalski             \r\n"
           "2          Nowak                \r\n" +
           summary},
      {{.clean = true}, padded},
      {{.noPad = true, .noNumbers = true, .fieldSeparator = true, .clean = true},
       "ID</>Nazwa</>\r\n"
       "1</>Kowalski</>\r\n"
       "2</>Nowak</>\r\n"},
  };
  for (const Case& c : cases) {
    ListDataset query = exampleQuery();
    EXPECT_EQ(report(query, c.options), c.expected)
        << "noPad " << c.options.noPad << ", noNumbers " << c.options.noNumbers << ", fieldSeparator "
        << c.options.fieldSeparator << ", clean " << c.options.clean;
  }
}

TEST_F(ReportFileTest, QueryWithoutRowsGivesHeaderBetweenBannerAndSummary) {
  ListDataset empty({ListDataset::integer("ID"), ListDataset::text("Nazwa", 20)}, {});
  EXPECT_EQ(report(empty), "Wydruk SQLa\r\nlk ID________ Nazwa_______________ \r\nKoniec 2015-03-02 14:05:09\r\n");
  EXPECT_EQ(report(empty, {.clean = true}), "lk ID________ Nazwa_______________ \r\n");
}

TEST_F(ReportFileTest, RowNumbersKeepTwoCharactersUntilTheyNeedMore) {
  std::vector<ListDataset::Row> rows;
  for (int i = 1; i <= 100; ++i) rows.push_back({std::int64_t{i}});
  ListDataset hundred({ListDataset::column("N", DataType::SmallInt)}, rows);
  for (const ReportOptions& options : {ReportOptions{}, ReportOptions{.noPad = true}}) {
    const std::string text = report(hundred, options);
    const std::string cell9 = options.noPad ? "9 " : pad("9", 10) + " ";
    const std::string cell100 = options.noPad ? "100 " : pad("100", 10) + " ";
    EXPECT_NE(text.find("\r\n 9 " + cell9 + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n10 10"), std::string::npos);
    EXPECT_NE(text.find("\r\n100 " + cell100 + "\r\n"), std::string::npos);
  }
}

TEST_F(ReportFileTest, ColumnIsAsWideAsTheLongerOfDisplayWidthAndName) {
  // A yes/no column shows 5 characters, but its name has 7.
  ListDataset flags({ListDataset::boolean("Aktywny"), ListDataset::integer("ID")},
                    {{true, std::int64_t{1}}, {false, std::monostate{}}});
  EXPECT_EQ(report(flags, {.clean = true}), "lk Aktywny ID________ \r\n"
                                            " 1 " + pad("True", 7) + " " + pad("1", 10) + " \r\n" +  //
                                                " 2 " + pad("False", 7) + " " + pad("", 10) + " \r\n");
}

TEST_F(ReportFileTest, LongerValueIsWrittenWholeAndShiftsTheRestOfItsLine) {
  // 25 characters in a column of 20: the ID moves right by 5.
  ListDataset query({ListDataset::text("Nazwa", 20), ListDataset::integer("ID")},
                    {{QString("Przedsiebiorstwo Handlowe"), std::int64_t{7}}, {QString("Nowak"), std::int64_t{8}}});
  EXPECT_EQ(report(query, {.noNumbers = true, .clean = true}),
            "Nazwa_______________ ID________ \r\n"
            "Przedsiebiorstwo Handlowe " + pad("7", 10) + " \r\n" +  //
            pad("Nowak", 20) + " " + pad("8", 10) + " \r\n");
}

TEST_F(ReportFileTest, ValuesAreWrittenAsTheyAreButTrimmingStopsAtControlCharacters) {
  ListDataset notes({ListDataset::longText("Uwagi"), ListDataset::integer("ID")},
                    {{QString("pierwsza\r\ndruga\tlinia"), std::int64_t{1}}, {QString(" \t obie strony \r\n"), std::int64_t{2}}});
  EXPECT_EQ(report(notes, {.clean = true}), "lk Uwagi_____ ID________ \r\n"
                                            " 1 pierwsza\r\ndruga\tlinia " + pad("1", 10) + " \r\n" +
                                                " 2  \t obie strony \r\n " + pad("2", 10) + " \r\n");
  EXPECT_EQ(report(notes, {.fieldSeparator = true, .clean = true}),
            "lk</>Uwagi</>ID</>\r\n"
            " 1</>pierwsza\r\ndruga\tlinia</>1</>\r\n"
            " 2</>obie strony</>2</>\r\n");
}

TEST_F(ReportFileTest, WidthsPast255KeepTheirLowEightBits) {
  const QString longName(260, QChar('n'));  // 260 → 4: shorter than the name, which is written whole
  ListDataset wide({ListDataset::text("Opis", 300), ListDataset::text(longName, 2)},
                   {{QString("a"), QString("b")}});
  wide.open();
  const std::string text = report(wide, {.noNumbers = true, .clean = true});
  // The text column of 300 characters pads to 44.
  EXPECT_EQ(text, "Opis" + std::string(40, '_') + " " + longName.toStdString() + " \r\n" +  //
                      pad("a", 44) + " " + pad("b", 4) + " \r\n");
  wide.field(0).setDisplayWidth(256);  // set by hand from the grid: 256 → 0
  EXPECT_EQ(report(wide, {.noNumbers = true, .clean = true}).substr(0, 6), "Opis " + longName.left(1).toStdString());
}

TEST_F(ReportFileTest, EveryFieldOfAResultOfMoreThan256Columns) {
  std::vector<ColumnInfo> columns;
  ListDataset::Row row;
  for (int i = 0; i < 258; ++i) {
    columns.push_back(ListDataset::text(QStringLiteral("K%1").arg(i), 3));
    row.push_back(QString::number(i % 10));
  }
  ListDataset many(columns, {row});
  const std::string text = report(many, {.noNumbers = true, .fieldSeparator = true, .clean = true});
  std::string header;
  std::string values;
  for (int i = 0; i < 258; ++i) {
    header += "K" + std::to_string(i) + "</>";
    values += std::to_string(i % 10) + "</>";
  }
  EXPECT_EQ(text, header + "\r\n" + values + "\r\n");
}

TEST_F(ReportFileTest, TextIsConvertedToTheLocalesCodePage) {
  const QLocale polish(QLocale::Polish, QLocale::Poland);
  const QString name = QString::fromUtf8("Łódź");
  const QString foreign = QString::fromUtf8("Жук €");  // Cyrillic is not in the Central European page
  ListDataset cities({ListDataset::text("Miasto", 6)}, {{name}, {foreign}});
  const std::string text = report(cities, {}, fixedContext(polish, QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58))));
  const QString expected = QString::fromUtf8("Wydruk SQLa\r\nlk Miasto \r\n 1 Łódź   \r\n 2 Жук €  \r\n") +
                           "Koniec " + polish.toString(QDate(2024, 12, 31), QLocale::ShortFormat) + " 23:59:58\r\n";
  EXPECT_EQ(text, toAnsi(expected, polish).toStdString());
  EXPECT_NE(text.find("\xA3\xF3\x64\x9F"), std::string::npos);  // Łódź in windows-1250
}

TEST_F(ReportFileTest, MidnightLeavesTheTimeOut) {
  ListDataset empty({ListDataset::integer("ID")}, {});
  const std::string atMidnight = report(empty, {}, fixedContext(kSwedish, QDateTime(QDate(2015, 3, 2), QTime(0, 0))));
  EXPECT_EQ(atMidnight.substr(atMidnight.find("Koniec")), "Koniec 2015-03-02\r\n");
  const std::string justAfter =
      report(empty, {}, fixedContext(kSwedish, QDateTime(QDate(2015, 3, 2), QTime(0, 0, 0, 1))));
  EXPECT_EQ(justAfter.substr(justAfter.find("Koniec")), "Koniec 2015-03-02 00:00:00\r\n");
}

TEST_F(ReportFileTest, StartsAtTheFirstRowAndLeavesTheLastCurrent) {
  ListDataset query = exampleQuery();
  query.open();
  query.last();
  report(query);
  EXPECT_TRUE(query.eof());
  EXPECT_EQ(query.recNo(), 2);
  EXPECT_EQ(query.state(), DatasetState::Browse);
  EXPECT_EQ(report(query, {.clean = true}).substr(0, 2), "lk");
}

TEST_F(ReportFileTest, SaveDialogAsTheWindowStartsItAndRemembersTheName) {
  FileDialogSetup shown;
  const QString file = path("wynik.TXT");
  dialogs.expectSaveFile([&](const FileDialogSetup& setup) {
    shown = setup;
    return file;
  });
  ListDataset query = exampleQuery();
  query.open();
  ReportFile destination(saveDialog);
  WriteReport(query, {}, destination, fixedContext());
  EXPECT_EQ(shown.title, QString::fromUtf8("Gdzież to zgrać"));
  EXPECT_EQ(shown.filter, "Plik tekstowy|*.txt");
  EXPECT_EQ(shown.defaultExtension, "TXT");
  EXPECT_TRUE(shown.overwritePrompt);
  EXPECT_TRUE(shown.folderMustExist);
  EXPECT_FALSE(shown.fileMustExist);
  EXPECT_EQ(saveDialog.fileName, file);

  // The next report offers the name chosen last.
  dialogs.expectSaveFile([&](const FileDialogSetup& setup) {
    EXPECT_EQ(setup.fileName, file);
    return QString();
  });
  WriteReport(query, {}, destination, fixedContext());
}

TEST_F(ReportFileTest, CancelledDialogWritesNothingAndMovesNothing) {
  dialogs.expectSaveFile([](const FileDialogSetup&) { return QString(); });
  ListDataset query = exampleQuery();
  query.open();
  query.setRecNo(2);
  ReportFile destination(saveDialog);
  WriteReport(query, {}, destination, fixedContext());
  EXPECT_EQ(query.recNo(), 2);
  EXPECT_FALSE(query.eof());
  EXPECT_TRUE(QDir(path("")).isEmpty());
  EXPECT_TRUE(saveDialog.fileName.isEmpty());
}

TEST_F(ReportFileTest, FileThatCannotBeCreatedEndsQuietlyWithNothingWritten) {
  const QString tooLong = path(QString(300, QChar('x')) + ".txt");
  for (const QString& name : {path("nie ma/raport.txt"), tooLong, path("")}) {
    dialogs.expectSaveFile([&](const FileDialogSetup&) { return name; });
    ListDataset query = exampleQuery();
    query.open();
    query.setRecNo(2);
    ReportFile destination(saveDialog);
    EXPECT_NO_THROW(WriteReport(query, {}, destination, fixedContext())) << name.toStdString();
    EXPECT_FALSE(query.eof()) << name.toStdString();
  }
  EXPECT_TRUE(QDir(path("")).isEmpty());
}

TEST_F(ReportFileTest, ReadOnlyFileIsLeftAsItWas) {
  const QString readOnly = path("zablokowany.txt");
  {
    QFile file(readOnly);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("stare");
  }
  QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
  if (QFileInfo(readOnly).isWritable()) GTEST_SKIP() << "running as a user who may write to read-only files";
  dialogs.expectSaveFile([&](const FileDialogSetup&) { return readOnly; });
  ListDataset query = exampleQuery();
  query.open();
  ReportFile destination(saveDialog);
  EXPECT_NO_THROW(WriteReport(query, {}, destination, fixedContext()));
  EXPECT_EQ(readFile(readOnly), "stare");
}

TEST_F(ReportFileTest, ReplacesAFileThatExists) {
  {
    QFile file(path("raport.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100000, 'x'));
  }
  ListDataset query = exampleQuery();
  EXPECT_EQ(report(query, {.clean = true}).size(), 3u * 37u);
}

TEST_F(ReportFileTest, FullDiskIsAnErrorWithTheFileNameAndTheReason) {
  if (!QFileInfo::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::vector<ListDataset::Row> rows(4000, ListDataset::Row{QString("wiersz")});
  for (std::size_t count : {std::size_t{1}, rows.size()}) {
    // One row fails as the file is closed, thousands as a block goes out.
    ListDataset query({ListDataset::text("Nazwa", 20)}, std::vector(rows.begin(), rows.begin() + count));
    query.open();
    dialogs.expectSaveFile([](const FileDialogSetup&) { return QString("/dev/full"); });
    ReportFile destination(saveDialog);
    try {
      WriteReport(query, {}, destination, fixedContext());
      ADD_FAILURE() << "no error for a full disk";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "Cannot write file \"/dev/full\". No space left on device");
    }
  }
}

}  // namespace
}  // namespace tabrix
