// The table window over a writable database: its design, opening and its
// messages, editing through its grid and navigator bar, two windows on one
// table, closing, and the connection closing under it.
#include "table/form_tablica.h"

#include <QDialog>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

#include "data/data_source.h"
#include "data/field.h"
#include "data/table_dataset.h"
#include "dialog_printers.h"
#include "expected_messages.h"
#include "scripted_dialogs.h"
#include "typing.h"
#include "table_windows.h"
#include "widgets/data_navigator.h"
#include "widgets/designed_controls.h"
#include "writable_database.h"

namespace tabrix {
namespace {

class TableWindowTest : public testing::TestWithParam<DatabaseKind> {
 protected:
  DataGrid* grid(TFormTablica* window) { return control<DataGrid>(window, "DBGrid"); }
  QToolButton* navigator(TFormTablica* window, NavigatorButton which) {
    return control<DataNavigator>(window, "DBNavigator1")->button(which);
  }
  void clickNavigator(TFormTablica* window, NavigatorButton which) {
    QTest::mouseClick(navigator(window, which), Qt::LeftButton);
  }
  int column(TFormTablica* window, const char* name) { return window->table().fieldByName(name).index(); }
  QString text(TFormTablica* window, const char* name) { return window->table().fieldByName(name).text(); }

  std::unique_ptr<WritableDatabase> m_database = GetParam().make();
  ScriptedDialogs m_dialogs;
  TableWindows m_windows{m_database->connectionString()};
};

TEST_P(TableWindowTest, DesignedWindow) {
  TFormTablica* window = m_windows.open("Employees");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Tablica \"Employees\"");
  EXPECT_EQ(window->size(), QSize(510, 217));
  EXPECT_EQ(window->minimumSize(), QSize(509, 182) - (window->frameGeometry().size() - window->size()));
  EXPECT_EQ(window->table().objectName(), "ADOTable");
  EXPECT_EQ(window->table().tableName(), "Employees");
  EXPECT_EQ(window->dataSource().objectName(), "DataSource1");
  EXPECT_EQ(window->font(), windowFont());
  const QPoint centre = window->frameGeometry().center() - m_windows.owner().frameGeometry().center();
  EXPECT_LE(centre.manhattanLength(), 1);  // centred over the main window

  const struct Expected {
    const char* name;
    const char* text;
    QRect geometry;
  } controls[] = {{"DBNavigator1", nullptr, {8, 8, 240, 25}},
                  {"b_close", "Zamknij", {416, 8, 75, 25}},
                  {"b_Editmemo", "Edit MEMO", {256, 8, 75, 25}}};
  auto* panel1 = control<QFrame>(window, "Panel1");
  EXPECT_EQ(panel1->geometry(), QRect(0, 0, 510, 41));
  for (const Expected& e : controls) {
    QWidget* widget = control<QWidget>(window, e.name);
    EXPECT_EQ(widget->parentWidget(), panel1) << e.name;
    EXPECT_EQ(widget->geometry(), e.geometry) << e.name;
    if (e.text) {
      EXPECT_EQ(qobject_cast<QPushButton*>(widget)->text(), e.text);
    }
  }
  auto* panel2 = control<QFrame>(window, "Panel2");
  EXPECT_EQ(panel2->geometry(), QRect(0, 41, 510, 176));
  EXPECT_EQ(grid(window)->parentWidget(), panel2);
  EXPECT_EQ(grid(window)->geometry(), QRect(4, 4, 502, 168));

  // Focus: "Zamknij", "Edit MEMO", the grid; the navigator takes none.
  EXPECT_EQ(QApplication::focusWidget(), control<QWidget>(window, "b_close"));
  QStringList order;
  for (int i = 0; i < 3; ++i) {
    order << QApplication::focusWidget()->objectName();
    pressKey(Qt::Key_Tab);
  }
  EXPECT_EQ(order, QStringList({"b_close", "b_Editmemo", "DBGrid"}));

  // One column per field, titled with its name; long columns by type.
  const GridModel& model = grid(window)->gridModel();
  ASSERT_EQ(model.columnCount(), window->table().fieldCount());
  for (int i = 0; i < model.columnCount(); ++i)
    EXPECT_EQ(model.headerData(i, Qt::Horizontal).toString(), window->table().field(i).name());
  EXPECT_EQ(model.data(model.index(0, column(window, "Notes"))).toString(), "(MEMO)");
  EXPECT_EQ(model.data(model.index(0, column(window, "LastName"))).toString(), "Davolio");
}

TEST_P(TableWindowTest, ATableThatDoesNotOpenIsNamedInAMessageAndNoWindowOpens) {
  for (const char* name : {"Nie ma takiej", "<wybierz tablice>", ""}) {
    m_dialogs.expectMessage(plainMessage(QStringLiteral("Nie otworzono tablicy \"%1\"").arg(name)));
    EXPECT_EQ(m_windows.open(name), nullptr) << name;
  }
  EXPECT_TRUE(m_windows.all().isEmpty());
}

TEST_P(TableWindowTest, BrowseEditInsertAppendDeleteAndRefreshThroughTheWindow) {
  TFormTablica* window = m_windows.open("Employees");
  ASSERT_NE(window, nullptr);
  DataGrid* rows = grid(window);
  clickCell(rows, 1, column(window, "FirstName"));
  EXPECT_EQ(text(window, "LastName"), "Fuller");

  // Edit a name in the grid; Post writes it.
  typeText("Andy");
  EXPECT_TRUE(navigator(window, NavigatorButton::Post)->isEnabled());
  clickNavigator(window, NavigatorButton::Post);
  EXPECT_EQ(m_database->value("FirstName", 2), "Andy");

  // Cancel drops an edit.
  typeText("Drew");
  clickNavigator(window, NavigatorButton::Cancel);
  EXPECT_EQ(text(window, "FirstName"), "Andy");
  EXPECT_EQ(window->table().state(), DatasetState::Browse);

  // Insert before the current row, typed and posted by moving away.
  clickNavigator(window, NavigatorButton::Insert);
  clickCell(rows, 1, column(window, "LastName"));
  typeText("Nowak");
  pressKey(Qt::Key_Down);
  EXPECT_EQ(m_database->rowCount(), 10);
  EXPECT_EQ(text(window, "LastName"), "Fuller");

  // Append at the end with Down on the last row.
  pressKey(Qt::Key_End, Qt::ControlModifier);
  pressKey(Qt::Key_Down);
  typeText("Zieliński");
  clickNavigator(window, NavigatorButton::Post);
  EXPECT_EQ(m_database->rowCount(), 11);
  EXPECT_EQ(window->table().recNo(), 11);

  // Delete, after the question.
  m_dialogs.expectMessage(deleteQuestion(), MessageButton::Ok);
  clickNavigator(window, NavigatorButton::Delete);
  EXPECT_EQ(m_database->rowCount(), 10);

  clickNavigator(window, NavigatorButton::Refresh);
  EXPECT_EQ(window->table().recordCount(), 10);
  EXPECT_EQ(rows->gridModel().rowCount(), 10);
}

TEST_P(TableWindowTest, TwoWindowsOnOneTableSeeEachOthersChangesOnRefresh) {
  TFormTablica* first = m_windows.open("Employees");
  TFormTablica* second = m_windows.open("Employees");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(first->windowTitle(), second->windowTitle());
  EXPECT_NE(&first->table(), &second->table());

  first->table().edit();
  first->table().fieldByName("LastName").setText("Davies");
  first->table().post();
  EXPECT_EQ(text(second, "LastName"), "Davolio");
  second->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(second));
  clickNavigator(second, NavigatorButton::Refresh);
  EXPECT_EQ(text(second, "LastName"), "Davies");
  EXPECT_EQ(grid(second)->gridModel().data(grid(second)->gridModel().index(0, column(second, "LastName"))).toString(),
            "Davies");
}

TEST_P(TableWindowTest, EditMemoNamesAColumnThatIsNotLongAndACellClickOpensNothingForIt) {
  TFormTablica* window = m_windows.open("Employees");
  ASSERT_NE(window, nullptr);
  clickCell(grid(window), 2, column(window, "ReportsTo"));  // no message, no memo editor
  m_dialogs.expectMessage(plainMessage("Kolumna \"ReportsTo\" nie jest typu MEMO"));
  QTest::mouseClick(control<QPushButton>(window, "b_Editmemo"), Qt::LeftButton);
  m_dialogs.verify();
  EXPECT_EQ(window->table().recNo(), 3);
}

TEST_P(TableWindowTest, AClickOnALongCellFromAnotherOpensTheMemoEditorOnItsRow) {
  TFormTablica* window = m_windows.open("Employees");
  ASSERT_NE(window, nullptr);
  QString caption, shown;
  m_dialogs.expectExec([&](QDialog& editor) {
    caption = editor.windowTitle();
    shown = control<QPlainTextEdit>(&editor, "DBMemo")->toPlainText();
    editor.reject();
  });
  clickCell(grid(window), 3, column(window, "Notes"));
  m_dialogs.verify();
  EXPECT_EQ(caption, "memo: Employees [ Notes ]");
  EXPECT_EQ(shown, text(window, "Notes"));
  EXPECT_EQ(window->table().recNo(), 4);

  // The same cell, now current: its editor opens, with the type label.
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  clickCell(grid(window), 3, column(window, "Notes"));
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "(MEMO)");
}

TEST_P(TableWindowTest, ZamknijDestroysTheWindowTheTitleBarOnlyHidesItBothDropAnUnwrittenEdit) {
  TFormTablica* closed = m_windows.open("Employees");
  TFormTablica* hidden = m_windows.open("Employees");
  ASSERT_NE(hidden, nullptr);
  QPointer<TFormTablica> destroyed = closed;
  closed->table().edit();
  closed->table().fieldByName("LastName").setText("Zmienione");
  QTest::mouseClick(control<QPushButton>(closed, "b_close"), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(destroyed.isNull());
  EXPECT_EQ(m_database->value("LastName", 1), "Davolio");

  hidden->table().edit();
  hidden->table().fieldByName("LastName").setText("Zmienione");
  hidden->close();  // as the title-bar button does
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(m_windows.all(), QList<TFormTablica*>({hidden}));
  EXPECT_FALSE(hidden->isVisible());
  EXPECT_EQ(hidden->table().state(), DatasetState::Inactive);
  EXPECT_EQ(m_database->value("LastName", 1), "Davolio");
}

TEST_P(TableWindowTest, AfterTheConnectionClosesTheWindowStaysEmptyAndCanOnlyBeClosed) {
  TFormTablica* window = m_windows.open("Employees");
  ASSERT_NE(window, nullptr);
  const QPoint cell = cellCentre(grid(window), 1, column(window, "Notes"));
  window->table().edit();
  window->table().fieldByName("LastName").setText("Zmienione");
  m_windows.connection().close();

  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(grid(window)->gridModel().rowCount(), 0);
  EXPECT_EQ(grid(window)->gridModel().columnCount(), 0);
  for (NavigatorButton which : DataNavigator::allButtons()) EXPECT_FALSE(navigator(window, which)->isEnabled());
  EXPECT_EQ(m_database->value("LastName", 1), "Davolio");

  // Nothing opens the table again, not even a new connect.
  m_windows.connection().open();
  EXPECT_EQ(window->table().state(), DatasetState::Inactive);
  QTest::mouseClick(control<QPushButton>(window, "b_Editmemo"), Qt::LeftButton);  // no message
  QTest::mouseClick(grid(window)->viewport(), Qt::LeftButton, {}, cell);
  QPointer<TFormTablica> alive = window;
  QTest::mouseClick(control<QPushButton>(window, "b_close"), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull());
}

INSTANTIATE_TEST_SUITE_P(Databases, TableWindowTest, testing::ValuesIn(writableDatabases()), databaseKindName);

}  // namespace
}  // namespace tabrix
