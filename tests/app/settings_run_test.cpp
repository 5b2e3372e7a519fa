// Runs of the program as the settings file sees them: a main window made
// with a settings file, SQL windows (stand-ins bound as the SQL window is),
// "Koniec", the end of the run, and the file it leaves.
#include <QApplication>
#include <QRegularExpression>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

#include "dialog_printers.h"
#include "main_window.h"
#include "scripted_dialogs.h"
#include "settings/window_placement.h"
#include "settings_files.h"
#include "sql_window_stand_in.h"
#include "widgets/application_title.h"

namespace tabrix {
namespace {

QString numbers(const QRect& frame) {
  return QStringLiteral("%1,%2,%3,%4")
      .arg(frame.left())
      .arg(frame.top())
      .arg(frame.left() + frame.width())
      .arg(frame.top() + frame.height());
}

// A section as a first run writes it: version, placement, `values`.
QString section(const QString& name, const QRect& frame, const QString& values) {
  const Display display = WindowPlacement::display();
  return QStringLiteral(
             "[%1]\n"
             "FormVersion=0\n"
             "ShowCmd=1\n"
             "Flags=0\n"
             "PixelsPerInch=%2\n"
             "MinMaxPos%3=-1,-1,-1,-1\n"
             "MinMaxPos=-1,-1,-1,-1\n"
             "NormPos%3=%4\n"
             "NormPos=%4\n")
             .arg(name)
             .arg(display.pixelsPerInch)
             .arg(desktopSuffix(display.desktop), numbers(frame)) +
         values + "\n";
}

const QString kMainValues = "fn_FileName=C:\\Bazy\\magazyn.mdb\ned_PassWord_Text=\n";
const QString kSqlValues =
    "CheckBox_Clean_Checked=FALSE\n"
    "CheckBox_FSEP_Checked=FALSE\n"
    "CheckBox_NoNR_Checked=FALSE\n"
    "CheckBox_NoPAD_Checked=TRUE\n"
    "SaveDialog_FileName=C:\\Raporty\\wynik.txt\n"
    "SaveDialog1_FileName=C:\\Zapytania\\stan.sql\n"
    "OpenDialog1_FileName=\n";

QByteArray fileText(const QString& text) { return QString(text).replace("\n", "\r\n").toLatin1(); }

class SettingsRunTest : public testing::Test {
 protected:
  // Starts a run that reads and writes the test's settings file.
  MainWindow& start(QStringList arguments = {}) {
    m_window = std::make_unique<MainWindow>(m_file.path(), std::move(arguments));
    m_window->show();
    return *m_window;
  }
  SqlWindowStandIn* openSqlWindow() {
    auto* window = new SqlWindowStandIn(&m_window->form().settingsStore(), &m_window->form());
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    return window;
  }
  void koniec() {
    QTest::mouseClick(m_window->quit(), Qt::LeftButton);
    EXPECT_FALSE(m_window->form().isVisible());
  }
  void end() { m_window.reset(); }

  // The user's part of the first run of the example: a database file
  // picked, the password left empty, one SQL window with "No PAD" ticked, a
  // report and an SQL file saved.
  SqlWindowStandIn* firstRun() {
    start();
    QTest::keyClicks(m_window->fn()->findChild<QLineEdit*>(), "C:\\Bazy\\magazyn.mdb");
    SqlWindowStandIn* sql = openSqlWindow();
    QTest::mouseClick(sql->CheckBox_NoPAD, Qt::LeftButton);
    sql->SaveDialog->fileName = "C:\\Raporty\\wynik.txt";
    sql->SaveDialog1->fileName = "C:\\Zapytania\\stan.sql";
    return sql;
  }

  SettingsFile m_file;
  ScriptedDialogs m_dialogs;
  std::unique_ptr<MainWindow> m_window;
};

TEST_F(SettingsRunTest, AFirstRunEndedWithTheSqlWindowOpenWritesMainFirst) {
  SqlWindowStandIn* sql = firstRun();
  const QRect sqlFrame = sql->frameGeometry();
  const QRect mainFrame = m_window->form().frameGeometry();
  koniec();
  EXPECT_FALSE(m_file.exists());
  end();
  EXPECT_EQ(m_file.read(),
            fileText(section("MAIN", mainFrame, kMainValues) + section("Form_qvSQL", sqlFrame, kSqlValues)));
}

TEST_F(SettingsRunTest, AnSqlWindowClosedBeforeKoniecComesFirst) {
  SqlWindowStandIn* sql = firstRun();
  const QRect sqlFrame = sql->frameGeometry();
  sql->close();
  EXPECT_FALSE(sql->isVisible());
  const QRect mainFrame = m_window->form().frameGeometry();
  koniec();
  end();
  EXPECT_EQ(m_file.read(),
            fileText(section("Form_qvSQL", sqlFrame, kSqlValues) + section("MAIN", mainFrame, kMainValues)));
}

TEST_F(SettingsRunTest, SqlWindowsOpenAtTheEndAreSavedTheMostRecentFirst) {
  start();
  for (int i = 0; i < 3; ++i) openSqlWindow();
  koniec();
  end();
  QStringList sections;
  static const QRegularExpression header("^\\[(.*)\\]\r$", QRegularExpression::MultilineOption);
  for (const auto& match : header.globalMatch(QString::fromLatin1(m_file.read()))) sections << match.captured(1);
  EXPECT_EQ(sections, QStringList({"MAIN", "Form_qvSQL_2", "Form_qvSQL_1", "Form_qvSQL"}));
}

TEST_F(SettingsRunTest, ARestartBringsBackTheValuesAndThePlacement) {
  MainWindow& first = start();
  first.fn()->setFileName("/nie ma/baza danych.mdb");
  first.password()->setText("tajne ");
  first.form().move(120, 90);
  first.form().resize(600, 200);
  SqlWindowStandIn* sql = openSqlWindow();
  sql->move(30, 40);
  for (QCheckBox* box : {sql->CheckBox_Clean, sql->CheckBox_FSEP, sql->CheckBox_NoNR}) box->setChecked(true);
  sql->SaveDialog->fileName = "/raporty/wynik.txt";
  sql->SaveDialog1->fileName = "/zapytania/stan.sql";
  sql->OpenDialog1->fileName = "/zapytania/inne.sql";
  const QRect mainFrame = first.form().frameGeometry();
  const QRect mainClient = first.form().geometry();
  const QRect sqlFrame = sql->frameGeometry();
  koniec();
  end();
  EXPECT_TRUE(m_file.read().contains("\r\ned_PassWord_Text=tajne \r\n"));

  MainWindow& second = start();
  EXPECT_EQ(second.fn()->text(), "\"/nie ma/baza danych.mdb\"");
  EXPECT_EQ(second.password()->text(), "tajne");
  EXPECT_EQ(second.form().frameGeometry(), mainFrame);
  sql = openSqlWindow();
  EXPECT_EQ(sql->frameGeometry(), sqlFrame);
  EXPECT_TRUE(sql->CheckBox_Clean->isChecked() && sql->CheckBox_FSEP->isChecked() && sql->CheckBox_NoNR->isChecked());
  EXPECT_FALSE(sql->CheckBox_NoPAD->isChecked());
  EXPECT_EQ(sql->SaveDialog->fileName, "/raporty/wynik.txt");
  EXPECT_EQ(sql->SaveDialog1->fileName, "/zapytania/stan.sql");
  EXPECT_EQ(sql->OpenDialog1->fileName, "/zapytania/inne.sql");

  second.form().showMaximized();
  koniec();
  end();
  MainWindow& third = start();
  EXPECT_TRUE(third.form().isMaximized());
  EXPECT_EQ(third.form().normalGeometry(), mainClient);
}

TEST_F(SettingsRunTest, TheCommandLineNameReplacesTheStoredOne) {
  m_file.write(fileText("[MAIN]\nfn_FileName=/stored.mdb\n"));
  EXPECT_EQ(start({"/home/jan/x.mdb"}).fn()->text(), "/home/jan/x.mdb");
  end();
  EXPECT_EQ(start().fn()->text(), "/home/jan/x.mdb");
}

TEST_F(SettingsRunTest, ABadShowCmdIsReportedAtEveryStartAndStays) {
  const QString before = "[main]\nFormVersion=0\nShowCmd=x\nfn_FileName=/stored.mdb\n\n";
  m_file.write(fileText(before));
  for (int run = 0; run < 2; ++run) {
    m_dialogs.expectMessage({applicationTitle(), "'x' is not a valid integer value.", MessageIcon::Error,
                             {MessageButton::Ok}});
    MainWindow& window = start({"/home/jan/x.mdb"});
    m_dialogs.verify();
    EXPECT_EQ(window.fn()->text(), "");
    window.fn()->setText("/typed.mdb");
    koniec();
    end();
    EXPECT_EQ(m_file.read(), fileText(before));
  }
}

TEST_F(SettingsRunTest, ANegativeVersionRestoresNothingAndIsWrittenAnewInFull) {
  m_file.write(fileText("; by hand\n[MAIN]\nFormVersion=-1\nNormPos=1,2,600,300\nfn_FileName=/stored.mdb\n"));
  MainWindow& window = start({"/home/jan/x.mdb"});
  EXPECT_EQ(window.fn()->text(), "");
  EXPECT_NE(window.form().frameGeometry().topLeft(), QPoint(1, 2));
  const QRect frame = window.form().frameGeometry();
  koniec();
  end();
  EXPECT_EQ(m_file.read(), fileText(QStringLiteral("[MAIN]\nFormVersion=0\nNormPos=%1\nfn_FileName=\n"
                                                   "ShowCmd=1\nFlags=0\nPixelsPerInch=%2\n"
                                                   "MinMaxPos%3=-1,-1,-1,-1\nMinMaxPos=-1,-1,-1,-1\n"
                                                   "NormPos%3=%1\ned_PassWord_Text=\n\n")
                                        .arg(numbers(frame))
                                        .arg(WindowPlacement::display().pixelsPerInch)
                                        .arg(desktopSuffix(WindowPlacement::display().desktop))));
}

}  // namespace
}  // namespace tabrix
