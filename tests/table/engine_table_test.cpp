// A table window opened from the main window on nwind.mdb through the
// built-in engine, which reads (it does not write yet): Employees with its
// memo and its photo, the placeholder's message, and "Zamknij baze".
#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app/form_main.h"
#include "data/table_dataset.h"
#include "dialog_printers.h"
#include "expected_messages.h"
#include "fixtures.h"
#include "odbc_registry.h"
#include "scripted_dialogs.h"
#include "table_windows.h"
#include "typing.h"
#include "widgets/data_memo.h"
#include "widgets/data_navigator.h"
#include "widgets/file_name_box.h"
#include "widgets/line_breaks.h"
#include "widgets/memo_text.h"

namespace tabrix {
namespace {

class EngineTableWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_FIXTURE(fixtures::mdb("nwind.mdb"));
    m_main.show();
    control<FileNameBox>(&m_main, "fn")->setText(QString::fromStdString(fixtures::mdb("nwind.mdb").string()));
    QTest::mouseClick(control<QPushButton>(&m_main, "bt_OpenBaza"), Qt::LeftButton);
    ASSERT_TRUE(m_main.connection().connected());
  }

  // "Edytuj tablice" with the table box's text.
  TFormTablica* editTable(const QString& name) {
    control<QComboBox>(&m_main, "ComboBox_Tables")->setEditText(name);
    const auto before = m_main.findChildren<TFormTablica*>().size();
    QTest::mouseClick(control<QPushButton>(&m_main, "b_OpenTable"), Qt::LeftButton);
    const auto windows = m_main.findChildren<TFormTablica*>();
    return windows.size() > before ? windows.constLast() : nullptr;
  }
  bool enabled(TFormTablica* window, NavigatorButton which) {
    return control<DataNavigator>(window, "DBNavigator1")->button(which)->isEnabled();
  }

  odbc_registry::Registry m_noDrivers;
  ScriptedDialogs m_dialogs;
  FormMain m_main;
};

TEST_F(EngineTableWindowTest, EmployeesOpensWithItsMemoAndPhotoAsLongColumns) {
  TFormTablica* window = editTable("Employees");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Tablica \"Employees\"");
  auto* grid = control<DataGrid>(window, "DBGrid");
  const GridModel& model = grid->gridModel();
  const int notes = window->table().fieldByName("Notes").index();
  const int photo = window->table().fieldByName("Photo").index();
  EXPECT_EQ(model.rowCount(), 9);
  EXPECT_EQ(model.data(model.index(0, notes)).toString(), "(MEMO)");
  EXPECT_EQ(model.data(model.index(0, photo)).toString(), "(BLOB)");

  // Read-only: only the moves are offered.
  EXPECT_TRUE(enabled(window, NavigatorButton::Next));
  for (NavigatorButton which : {NavigatorButton::Insert, NavigatorButton::Delete, NavigatorButton::Edit,
                                NavigatorButton::Post, NavigatorButton::Cancel, NavigatorButton::Refresh})
    EXPECT_FALSE(enabled(window, which));

  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }));
  QString shown;
  bool readOnly = false;
  m_dialogs.expectExec([&](QDialog& editor) {
    EXPECT_EQ(editor.windowTitle(), "memo: Employees [ Notes ]");
    auto* memo = control<DataMemo>(&editor, "DBMemo");
    shown = memoText(*memo);
    readOnly = memo->isReadOnly();
    editor.reject();
  });
  grid->scrollTo(model.index(1, notes));
  clickCell(grid, 1, notes);
  m_dialogs.verify();
  EXPECT_EQ(shown, window->table().fieldByName("Notes").text());
  EXPECT_TRUE(shown.startsWith("Andrew received his BTS commercial in 1974"));
  EXPECT_TRUE(readOnly);

  m_dialogs.expectExec([&](QDialog& editor) {
    shown = memoText(*control<DataMemo>(&editor, "DBMemo"));
    editor.reject();
  });
  window->OpenMemoEditor(window->table().fieldByName("Photo"), true);
  EXPECT_EQ(shown, withCrLf(window->table().fieldByName("Photo").text()));  // a character per byte
}

TEST_F(EngineTableWindowTest, ThePlaceholderIsNoTable) {
  m_dialogs.expectMessage(plainMessage("Nie otworzono tablicy \"<wybierz tablice>\""));
  EXPECT_EQ(editTable("<wybierz tablice>"), nullptr);
}

TEST_F(EngineTableWindowTest, ZamknijBazeEmptiesAnOpenTableWindow) {
  TFormTablica* window = editTable("Employees");
  ASSERT_NE(window, nullptr);
  QTest::mouseClick(control<QPushButton>(&m_main, "bt_CloseBaza"), Qt::LeftButton);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(control<DataGrid>(window, "DBGrid")->gridModel().rowCount(), 0);
  for (NavigatorButton which : DataNavigator::allButtons()) EXPECT_FALSE(enabled(window, which));
  QTest::mouseClick(control<QPushButton>(window, "b_Editmemo"), Qt::LeftButton);  // nothing
  QPointer<TFormTablica> alive = window;
  QTest::mouseClick(control<QPushButton>(window, "b_close"), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull());
}

}  // namespace
}  // namespace tabrix
