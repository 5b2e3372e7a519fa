// The data grid driven as a user drives it, key by key and click by click,
// over a writable table: the grid-keys table, the move-away rule, cell
// clicks and what the focus leaving does.
#include "widgets/data_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "bound_table.h"
#include "control_window.h"
#include "data/errors.h"
#include "dialog_printers.h"
#include "expected_messages.h"
#include "scripted_dialogs.h"
#include "typing.h"
#include "widgets/grid_model.h"

namespace tabrix {
namespace {

// The grid beside a button that can take the focus from it, in an active
// window, over Employees; the grid has the focus on the first row's
// LastName.
class DataGridTest : public testing::TestWithParam<DatabaseKind> {
 protected:
  void SetUp() override {
    m_employees.open();
    m_grid = new DataGrid(m_employees.source);
    m_window.show(m_grid);
    moveTo(0, "LastName");
  }

  // To a cell without opening its editor.
  void moveTo(int row, const char* name) {
    m_employees.table.setRecNo(row + 1);
    if (column() != name) QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, centre(row, m_employees.column(name)));
  }
  QPoint centre(int row, int column) const { return m_grid->visualRect(m_grid->gridModel().index(row, column)).center(); }

  QLineEdit* editor() const {
    auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return line && m_grid->isAncestorOf(line) ? line : nullptr;
  }

  int row() const { return m_employees.table.position(); }
  QString column() const { return m_grid->currentField() ? m_grid->currentField()->name() : "<none>"; }
  DatasetState state() const { return m_employees.table.state(); }
  QString text(const char* name) const { return m_employees.text(name); }
  int rows() const { return m_employees.table.recordCount(); }
  // The view's current cell is always the dataset's row and the grid's column.
  void expectCellFollowsTheDataset() const {
    EXPECT_EQ(m_grid->currentIndex().row(), row());
    EXPECT_EQ(m_grid->currentIndex().column(), m_grid->currentColumn());
  }

  BoundEmployees m_employees{GetParam()};
  ScriptedDialogs m_dialogs;
  ControlWindow m_window;
  DataGrid* m_grid = nullptr;
};

TEST_P(DataGridTest, TypingOpensTheEditorInEditModeAndEnterWritesTheCellIntoTheRow) {
  typeText("Dav");
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(editor()->text(), "Dav");  // the typed text replaces the value
  EXPECT_EQ(state(), DatasetState::Edit);
  EXPECT_EQ(text("LastName"), "Davolio");  // not yet in the row
  pressKey(Qt::Key_Return);
  EXPECT_EQ(editor(), nullptr);
  EXPECT_EQ(text("LastName"), "Dav");
  EXPECT_EQ(state(), DatasetState::Edit);
  EXPECT_EQ(m_employees.database().value("LastName", 1), "Davolio");  // nor yet in the database

  pressKey(Qt::Key_Return);  // Enter turns the editor on again
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(editor()->text(), "Dav");
  pressKey(Qt::Key_End);
  typeText("e");
  pressKey(Qt::Key_Down);  // moving away writes the cell and posts the row
  EXPECT_EQ(row(), 1);
  EXPECT_EQ(state(), DatasetState::Browse);
  EXPECT_EQ(m_employees.database().value("LastName", 1), "Dave");
  expectCellFollowsTheDataset();
}

TEST_P(DataGridTest, EscDropsTheCellsChangeThenTheRowsEdit) {
  moveTo(1, "FirstName");
  pressKey(Qt::Key_F2);  // the editor alone: no edit mode yet
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(state(), DatasetState::Browse);
  pressKey(Qt::Key_End);
  typeText("x");
  EXPECT_EQ(editor()->text(), "Andrewx");
  EXPECT_EQ(state(), DatasetState::Edit);
  pressKey(Qt::Key_Escape);
  EXPECT_EQ(editor(), nullptr);
  EXPECT_EQ(text("FirstName"), "Andrew");
  EXPECT_EQ(state(), DatasetState::Edit);  // the row is still being edited
  pressKey(Qt::Key_Escape);
  EXPECT_EQ(state(), DatasetState::Browse);

  typeText("Andy");
  pressKey(Qt::Key_Enter);
  pressKey(Qt::Key_Escape);  // no cell change: the row's edit goes
  EXPECT_EQ(state(), DatasetState::Browse);
  EXPECT_EQ(text("FirstName"), "Andrew");
  EXPECT_EQ(m_employees.database().value("FirstName", 2), "Andrew");
}

TEST_P(DataGridTest, InsertMakesARowThatUpAndDownDropWhileNothingIsTypedIntoIt) {
  moveTo(3, "LastName");
  pressKey(Qt::Key_Insert);
  EXPECT_EQ(state(), DatasetState::Insert);
  EXPECT_EQ(row(), 3);
  EXPECT_EQ(rows(), 10);
  expectCellFollowsTheDataset();
  pressKey(Qt::Key_Down);  // dropped; Peacock, below it, is current
  EXPECT_EQ(state(), DatasetState::Browse);
  EXPECT_EQ(rows(), 9);
  EXPECT_EQ(text("LastName"), "Peacock");

  pressKey(Qt::Key_Insert);
  pressKey(Qt::Key_Up);  // dropped; Leverling, above it, is current
  EXPECT_EQ(rows(), 9);
  EXPECT_EQ(text("LastName"), "Leverling");
  expectCellFollowsTheDataset();

  pressKey(Qt::Key_Insert);  // before Leverling
  typeText("Nowak");
  pressKey(Qt::Key_Up);  // typed into: posted, and the row above is current
  EXPECT_EQ(state(), DatasetState::Browse);
  EXPECT_EQ(m_employees.database().rowCount(), 10);
  EXPECT_EQ(text("LastName"), "Fuller");
  EXPECT_EQ(m_employees.table.textAt(2, m_employees.column("LastName")), "Nowak");
}

TEST_P(DataGridTest, DownOnTheLastRowAppendsAndTabPastTheLastCellToo) {
  pressKey(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(row(), 8);
  pressKey(Qt::Key_Down);
  EXPECT_EQ(state(), DatasetState::Insert);
  EXPECT_EQ(row(), 9);
  EXPECT_EQ(rows(), 10);
  pressKey(Qt::Key_Down);  // an untouched new row at the end: nothing happens
  EXPECT_EQ(state(), DatasetState::Insert);
  EXPECT_EQ(rows(), 10);
  pressKey(Qt::Key_Up);
  EXPECT_EQ(state(), DatasetState::Browse);
  EXPECT_EQ(rows(), 9);
  EXPECT_EQ(row(), 8);

  const QHeaderView* titles = m_grid->horizontalHeader();
  pressKey(Qt::Key_End);  // the last cell of the last row, then Tab
  EXPECT_EQ(titles->visualIndex(m_grid->currentColumn()), m_grid->gridModel().columnCount() - 1);
  pressKey(Qt::Key_Tab);
  EXPECT_EQ(state(), DatasetState::Insert);
  EXPECT_EQ(row(), 9);
  EXPECT_EQ(titles->visualIndex(m_grid->currentColumn()), 0);
  expectCellFollowsTheDataset();
}

TEST_P(DataGridTest, TabAndShiftTabWrapToTheNextAndPreviousRow) {
  const QHeaderView* titles = m_grid->horizontalHeader();
  const int last = m_grid->gridModel().columnCount() - 1;
  moveTo(2, "LastName");
  pressKey(Qt::Key_Home);
  pressKey(Qt::Key_Backtab);
  EXPECT_EQ(row(), 1);
  EXPECT_EQ(titles->visualIndex(m_grid->currentColumn()), last);
  pressKey(Qt::Key_Tab);
  EXPECT_EQ(row(), 2);
  EXPECT_EQ(titles->visualIndex(m_grid->currentColumn()), 0);
  pressKey(Qt::Key_Tab);
  EXPECT_EQ(titles->visualIndex(m_grid->currentColumn()), 1);
  EXPECT_EQ(m_grid, QApplication::focusWidget());  // Tab never leaves the grid

  // From the editor, Tab writes the cell first.
  moveTo(2, "FirstName");
  typeText("Jan");
  pressKey(Qt::Key_Tab);
  EXPECT_EQ(editor(), nullptr);
  EXPECT_EQ(text("FirstName"), "Jan");
  EXPECT_EQ(state(), DatasetState::Edit);
}

TEST_P(DataGridTest, ControlHomeAndEndGoToTheFirstAndLastRowInTheSameColumn) {
  moveTo(4, "FirstName");
  pressKey(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(row(), 8);
  EXPECT_EQ(column(), "FirstName");
  expectCellFollowsTheDataset();
  EXPECT_TRUE(m_grid->viewport()->rect().contains(centre(8, m_employees.column("FirstName"))));
  pressKey(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(row(), 0);
  pressKey(Qt::Key_PageDown);
  EXPECT_GT(row(), 0);
  pressKey(Qt::Key_PageUp);
  EXPECT_EQ(row(), 0);
}

TEST_P(DataGridTest, ControlDeleteAsksAndCancelKeepsTheRow) {
  moveTo(2, "LastName");
  m_dialogs.expectMessage(deleteQuestion(), MessageButton::Cancel);
  pressKey(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(m_employees.database().rowCount(), 9);
  m_dialogs.expectMessage(deleteQuestion(), MessageButton::Ok);
  pressKey(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(m_employees.database().rowCount(), 8);
  EXPECT_EQ(m_employees.database().value("LastName", 3), "<no row>");
  EXPECT_EQ(text("LastName"), "Peacock");
  expectCellFollowsTheDataset();
  pressKey(Qt::Key_Delete);  // Delete alone asks nothing
}

TEST_P(DataGridTest, AClickMovesAwayByTheRuleAndReportsTheClickedColumn) {
  QSignalSpy clicks(m_grid, &DataGrid::cellClicked);
  typeText("Davis");
  QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, centre(3, m_employees.column("Notes")));
  EXPECT_EQ(m_employees.database().value("LastName", 1), "Davis");  // the changed row is written
  EXPECT_EQ(row(), 3);
  EXPECT_EQ(column(), "Notes");
  ASSERT_EQ(clicks.count(), 1);
  EXPECT_EQ(clicks.takeFirst().at(0).toInt(), m_employees.column("Notes"));

  // The current cell again: its editor opens, and the click reports nothing.
  QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, centre(3, m_employees.column("Notes")));
  EXPECT_EQ(clicks.count(), 0);
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(editor()->text(), "(MEMO)");
  EXPECT_TRUE(editor()->isReadOnly());
  typeText("x");  // a long column's editor refuses input
  EXPECT_EQ(editor()->text(), "(MEMO)");
  EXPECT_EQ(state(), DatasetState::Browse);

  // Titles and the indicator report nothing; a press on the indicator moves.
  QTest::mouseClick(m_grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                    QPoint(m_grid->horizontalHeader()->sectionViewportPosition(1) + 5, 5));
  EXPECT_EQ(row(), 3);
  QTest::mousePress(m_grid->verticalHeader()->viewport(), Qt::LeftButton, {},
                    QPoint(4, m_grid->verticalHeader()->sectionViewportPosition(5) + 3));
  QTest::mouseRelease(m_grid->verticalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(4, m_grid->verticalHeader()->sectionViewportPosition(5) + 3));
  EXPECT_EQ(row(), 5);
  EXPECT_EQ(clicks.count(), 0);
  expectCellFollowsTheDataset();

  // An untouched new row goes when another row is clicked; the rows below it
  // move up, and the row clicked is the one that becomes current.
  moveTo(2, "LastName");
  pressKey(Qt::Key_Insert);
  QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, centre(6, m_employees.column("LastName")));
  EXPECT_EQ(rows(), 9);
  EXPECT_EQ(text("LastName"), "Suyama");
}

TEST_P(DataGridTest, LeavingTheGridWritesTheEditorAndDropsAnUntouchedNewRow) {
  typeText("Davies");
  m_window.other()->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(text("LastName"), "Davies");
  EXPECT_EQ(state(), DatasetState::Edit);
  m_grid->setFocus();
  pressKey(Qt::Key_Escape);

  pressKey(Qt::Key_Insert);
  m_window.other()->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(state(), DatasetState::Browse);
  EXPECT_EQ(rows(), 9);
}

TEST_P(DataGridTest, ACellTheFieldRefusesStaysInItsEditorWithTheError) {
  moveTo(0, "ReportsTo");
  QString refusal;
  try {
    m_employees.table.edit();
    m_employees.table.fieldByName("ReportsTo").setText("dwa");
  } catch (const DatabaseError& error) {
    refusal = error.text();
  }
  m_employees.table.cancel();
  ASSERT_FALSE(refusal.isEmpty());

  typeText("dwa");
  m_dialogs.expectMessage(uncaughtError(refusal));
  pressKey(Qt::Key_Down);
  EXPECT_EQ(row(), 0);
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(editor()->text(), "dwa");
  m_dialogs.verify();
  pressKey(Qt::Key_Escape);
  pressKey(Qt::Key_Escape);
  EXPECT_EQ(state(), DatasetState::Browse);
}

TEST_P(DataGridTest, TypingIntoAnEmptyTableStartsANewRow) {
  while (!m_employees.table.isEmpty()) m_employees.table.remove();
  m_grid->setFocus();
  EXPECT_EQ(m_grid->currentField()->name(), "LastName");  // the column stays without rows
  typeText("Nowak");
  EXPECT_EQ(state(), DatasetState::Insert);
  ASSERT_NE(editor(), nullptr);
  pressKey(Qt::Key_Return);
  pressKey(Qt::Key_Up);
  EXPECT_EQ(m_employees.database().rowCount(), 1);
}

TEST_P(DataGridTest, ColumnsAreAsWideAsTheirFieldsAndARefreshKeepsWhatTheUserDid) {
  const int lastName = m_employees.column("LastName");
  const int width = m_grid->columnWidth(lastName);
  EXPECT_EQ(width, 20 * m_grid->characterWidth() + 4);  // LastName holds 20 characters

  QSignalSpy resized(m_grid, &DataGrid::columnResizedByHand);
  QHeaderView* titles = m_grid->horizontalHeader();
  titles->resizeSection(lastName, width + 30);  // as a drag of its separator does
  titles->moveSection(titles->visualIndex(lastName), 0);
  ASSERT_EQ(resized.count(), 1);
  EXPECT_EQ(resized.at(0).at(1).toInt(), width + 30);

  m_employees.table.refresh();
  EXPECT_EQ(m_grid->columnWidth(lastName), width + 30);
  EXPECT_EQ(titles->visualIndex(lastName), 0);
  EXPECT_EQ(resized.count(), 1);
  expectCellFollowsTheDataset();
}

TEST_P(DataGridTest, ATitleHighlightsUnderThePointerUnlessTurnedOff) {
  QHeaderView* titles = m_grid->horizontalHeader();
  const QPoint lastName(titles->sectionViewportPosition(m_employees.column("LastName")) + 3, titles->height() / 2);
  const QPoint firstName(titles->sectionViewportPosition(m_employees.column("FirstName")) + 3, titles->height() / 2);
  const auto pointAt = [&](QPoint where) {
    QMouseEvent move(QEvent::MouseMove, QPointF(where), titles->viewport()->mapToGlobal(QPointF(where)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(titles->viewport(), &move);
  };
  const auto highlighted = [&] {
    const QImage image = titles->viewport()->grab().toImage();
    return image.pixelColor(lastName) != image.pixelColor(firstName);
  };
  pointAt(lastName);
  EXPECT_TRUE(titles->sectionsClickable());  // a pressed title presses in
  EXPECT_TRUE(highlighted());
  m_grid->setTitlesHighlight(false);
  EXPECT_FALSE(titles->sectionsClickable());
  EXPECT_FALSE(highlighted());
}

TEST_P(DataGridTest, TheCurrentCellIsHighlightedWithoutTheFocusOnlyWhenAsked) {
  const QModelIndex current = m_grid->currentIndex();
  const auto highlighted = [&] {
    const QImage image = m_grid->viewport()->grab(m_grid->visualRect(current)).toImage();
    // Past the text, the cell shows its background: the plain one, or the
    // highlight (whose shade the style may vary).
    return image.pixelColor(image.width() - 3, image.height() / 2) != m_grid->palette().color(QPalette::Base);
  };
  EXPECT_TRUE(highlighted());
  m_window.other()->setFocus();
  EXPECT_FALSE(highlighted());
  m_grid->setSelectionWithoutFocus(true);
  EXPECT_TRUE(highlighted());
}

INSTANTIATE_TEST_SUITE_P(Databases, DataGridTest, testing::ValuesIn(writableDatabases()), databaseKindName);

}  // namespace
}  // namespace tabrix
