// The bound memo control over a writable table's Notes: what it shows, the
// automatic edit mode, Esc, and when its text is written into the row.
#include "widgets/data_memo.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "bound_table.h"
#include "control_window.h"
#include "dialog_printers.h"
#include "expected_messages.h"
#include "scripted_dialogs.h"
#include "widgets/memo_text.h"

namespace tabrix {
namespace {

// The memo beside a button that can take the focus from it, in an active
// window, bound to Notes of the first row.
class DataMemoTest : public testing::TestWithParam<DatabaseKind> {
 protected:
  void SetUp() override {
    m_employees.open();
    m_memo = new DataMemo(m_employees.source);
    m_memo->setFieldName("Notes");
    m_window.show(m_memo);
  }

  QString shown() const { return memoText(*m_memo); }
  DatasetState state() const { return m_employees.table.state(); }
  void write(const char* notes) {
    m_employees.table.edit();
    m_employees.table.fieldByName("Notes").setText(QString::fromUtf8(notes));
    m_employees.table.post();
  }

  BoundEmployees m_employees{GetParam()};
  ScriptedDialogs m_dialogs;
  ControlWindow m_window;
  DataMemo* m_memo = nullptr;
};

TEST_P(DataMemoTest, ShowsTheStoredValueOfTheCurrentRowWithCrLfLineBreaks) {
  EXPECT_EQ(m_memo->field(), &m_employees.table.fieldByName("Notes"));
  EXPECT_EQ(shown(), m_employees.text("Notes"));
  write("pierwsza\ndruga\rtrzecia");
  EXPECT_EQ(shown(), "pierwsza\r\ndruga\r\ntrzecia");
  m_employees.table.next();
  EXPECT_EQ(shown(), m_employees.text("Notes"));
  m_employees.table.edit();
  m_employees.table.fieldByName("Notes").clear();  // a null shows an empty memo
  EXPECT_EQ(shown(), "");
  EXPECT_FALSE(m_memo->isReadOnly());

  m_memo->setFieldName("Photo");  // long binary data shows as text
  EXPECT_EQ(shown(), m_employees.text("Photo"));
  m_employees.connection.close();
  EXPECT_EQ(shown(), "");
  EXPECT_TRUE(m_memo->isReadOnly());
}

TEST_P(DataMemoTest, TypingPutsTheRowIntoEditModeAndEscRestoresTheStoredValue) {
  const QString stored = m_employees.text("Notes");
  QTest::keyClick(m_memo, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(m_memo, " Dopisek.");
  EXPECT_EQ(state(), DatasetState::Edit);
  EXPECT_EQ(shown(), stored + " Dopisek.");
  EXPECT_EQ(m_employees.text("Notes"), stored);  // not yet in the row

  QTest::keyClick(m_memo, Qt::Key_Escape);
  EXPECT_EQ(shown(), stored);
  EXPECT_EQ(state(), DatasetState::Edit);  // the row stays in edit mode
  m_employees.table.cancel();

  // Moves of the caret change nothing and start nothing.
  QTest::keyClick(m_memo, Qt::Key_Down);
  QTest::keyClick(m_memo, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(state(), DatasetState::Browse);
  // Enter and a paste do.
  QTest::keyClick(m_memo, Qt::Key_Return);
  EXPECT_EQ(state(), DatasetState::Edit);
  m_employees.table.cancel();
  QApplication::clipboard()->setText("wklejone");
  QTest::keyClick(m_memo, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(state(), DatasetState::Edit);
  EXPECT_TRUE(shown().contains("wklejone"));
}

TEST_P(DataMemoTest, EnteringEditModeDropsTextThatWasNotWrittenIntoTheRow) {
  m_memo->setPlainText("z pliku");
  m_memo->document()->setModified(true);
  m_employees.table.edit();
  EXPECT_EQ(shown(), m_employees.text("Notes"));
  EXPECT_FALSE(m_memo->document()->isModified());

  // A new value of another field keeps the memo's text; one of its own not.
  QTest::keyClicks(m_memo, "wpisane");
  m_employees.table.fieldByName("FirstName").setText("Nan");
  EXPECT_TRUE(shown().startsWith("wpisane"));
  m_employees.table.fieldByName("Notes").setText("z siatki");
  EXPECT_EQ(shown(), "z siatki");
}

TEST_P(DataMemoTest, ChangedTextGoesIntoTheRowBeforeAPostAndWhenTheFocusLeaves) {
  QTest::keyClick(m_memo, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(m_memo, "nowe");
  QTest::keyClick(m_memo, Qt::Key_Return);
  QTest::keyClicks(m_memo, "linie");
  m_employees.source.updateRecord();  // as the navigator's Post does first
  EXPECT_EQ(m_employees.text("Notes"), "nowe\r\nlinie");
  m_employees.table.post();
  EXPECT_EQ(m_employees.database().value("Notes", 1), "nowe\r\nlinie");

  QTest::keyClicks(m_memo, "!");
  m_window.other()->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(m_employees.text("Notes"), "nowe\r\nlinie!");  // the caret stayed where it was
  EXPECT_EQ(state(), DatasetState::Edit);
  m_employees.table.cancel();

  // Unchanged text is not written: the row stays unchanged.
  m_memo->setFocus();
  m_employees.table.edit();
  m_window.other()->setFocus(Qt::TabFocusReason);
  EXPECT_FALSE(m_employees.table.modified());
}

TEST_P(DataMemoTest, ChangedTextLeavingWhileNotEditingIsAnErrorAndTheFocusComesBack) {
  m_memo->setPlainText("z pliku");
  m_memo->document()->setModified(true);
  m_dialogs.expectMessage(uncaughtError("ADOTable: Dataset not in edit or insert mode"));
  m_window.other()->setFocus(Qt::TabFocusReason);
  m_dialogs.verify();
  EXPECT_EQ(QApplication::focusWidget(), m_memo);
  EXPECT_EQ(shown(), "z pliku");
}

INSTANTIATE_TEST_SUITE_P(Databases, DataMemoTest, testing::ValuesIn(writableDatabases()), databaseKindName);

}  // namespace
}  // namespace tabrix
