// The navigator bar over a writable table: which buttons are enabled in
// each state, what each one does, the delete question, the repeat on Prior
// and Next, and that no button takes the focus.
#include "widgets/data_navigator.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "bound_table.h"
#include "dialog_printers.h"
#include "expected_messages.h"
#include "scripted_dialogs.h"

namespace tabrix {
namespace {

using B = NavigatorButton;

class DataNavigatorTest : public testing::TestWithParam<DatabaseKind> {
 protected:
  DataNavigatorTest() { m_bar.resize(240, 25); }

  QToolButton* button(B which) { return m_bar.button(which); }
  void click(B which) { QTest::mouseClick(button(which), Qt::LeftButton); }
  // The enabled buttons, left to right.
  std::vector<B> enabled() {
    std::vector<B> result;
    for (B which : DataNavigator::allButtons())
      if (button(which)->isEnabled()) result.push_back(which);
    return result;
  }

  BoundEmployees m_employees{GetParam()};
  TableDataset& m_table = m_employees.table;
  ScriptedDialogs m_dialogs;
  DataNavigator m_bar{m_employees.source};
};

TEST_P(DataNavigatorTest, ButtonsAreEnabledByTheStateAndThePosition) {
  EXPECT_EQ(enabled(), std::vector<B>{});  // closed
  m_employees.open();
  EXPECT_EQ(enabled(), (std::vector<B>{B::Next, B::Last, B::Insert, B::Delete, B::Edit, B::Refresh}));
  click(B::Next);
  EXPECT_EQ(m_table.recNo(), 2);
  EXPECT_EQ(enabled(), (std::vector<B>{B::First, B::Prior, B::Next, B::Last, B::Insert, B::Delete, B::Edit,
                                       B::Refresh}));
  click(B::Last);
  EXPECT_EQ(m_table.recNo(), 9);
  EXPECT_EQ(enabled(), (std::vector<B>{B::First, B::Prior, B::Insert, B::Delete, B::Edit, B::Refresh}));
  click(B::Edit);
  EXPECT_EQ(m_table.state(), DatasetState::Edit);
  EXPECT_EQ(enabled(), (std::vector<B>{B::First, B::Prior, B::Insert, B::Delete, B::Post, B::Cancel, B::Refresh}));
  click(B::Cancel);
  click(B::First);
  EXPECT_EQ(m_table.recNo(), 1);
  click(B::Prior);
  EXPECT_EQ(m_table.recNo(), 1);

  m_employees.connection.close();  // the table closes with the connection
  EXPECT_EQ(enabled(), std::vector<B>{});
}

TEST_P(DataNavigatorTest, EditPostCancelInsertAndRefresh) {
  m_employees.open();
  click(B::Edit);
  m_table.fieldByName("FirstName").setText("Nan");
  click(B::Cancel);
  EXPECT_EQ(m_employees.text("FirstName"), "Nancy");
  click(B::Edit);
  m_table.fieldByName("FirstName").setText("Nan");
  click(B::Post);
  EXPECT_EQ(m_table.state(), DatasetState::Browse);
  EXPECT_EQ(m_employees.database().value("FirstName", 1), "Nan");

  click(B::Next);
  click(B::Insert);  // before the current row
  EXPECT_EQ(m_table.state(), DatasetState::Insert);
  EXPECT_EQ(m_table.recNo(), 2);
  m_table.fieldByName("LastName").setText("Nowak");
  click(B::Refresh);  // writes the new row, then reads the rows again
  EXPECT_EQ(m_table.state(), DatasetState::Browse);
  EXPECT_EQ(m_table.recordCount(), 10);
  EXPECT_EQ(m_employees.database().rowCount(), 10);
}

TEST_P(DataNavigatorTest, EditOnAnEmptyTableStartsANewRow) {
  m_employees.open();
  while (!m_table.isEmpty()) m_table.remove();
  EXPECT_EQ(enabled(), (std::vector<B>{B::Insert, B::Edit, B::Refresh}));
  click(B::Edit);
  EXPECT_EQ(m_table.state(), DatasetState::Insert);
  m_table.fieldByName("LastName").setText("Nowak");
  click(B::Post);
  EXPECT_EQ(m_employees.database().rowCount(), 1);
}

TEST_P(DataNavigatorTest, DeleteAsksFirst) {
  m_employees.open();
  click(B::Next);
  m_dialogs.expectMessage(deleteQuestion(), MessageButton::Cancel);
  click(B::Delete);
  EXPECT_EQ(m_employees.database().rowCount(), 9);
  m_dialogs.expectMessage(deleteQuestion(), MessageButton::Ok);
  click(B::Delete);
  EXPECT_EQ(m_employees.database().rowCount(), 8);
  EXPECT_EQ(m_employees.database().value("LastName", 2), "<no row>");
  EXPECT_EQ(m_employees.text("LastName"), "Leverling");
}

TEST_P(DataNavigatorTest, AFailedActionGoesToTheDefaultErrorHandlerAndTheRowStaysAsItWas) {
  m_employees.open();
  // Another dataset deletes the row this one is editing.
  TableDataset elsewhere;
  elsewhere.setObjectName("ADOTable");
  elsewhere.setConnection(&m_employees.connection);
  elsewhere.setTableName("Employees");
  elsewhere.open();
  elsewhere.remove();

  click(B::Edit);
  m_table.fieldByName("FirstName").setText("Nan");
  QString failure;
  try {
    m_table.post();
  } catch (const std::exception& error) {
    failure = QString::fromUtf8(error.what());
  }
  ASSERT_FALSE(failure.isEmpty());
  m_dialogs.expectMessage(uncaughtError(failure));
  click(B::Post);
  EXPECT_EQ(m_table.state(), DatasetState::Edit);
  EXPECT_EQ(m_employees.text("FirstName"), "Nan");
}

TEST_P(DataNavigatorTest, PriorAndNextRepeatWhileHeldAndNoButtonTakesTheFocus) {
  for (B which : DataNavigator::allButtons()) {
    EXPECT_EQ(button(which)->focusPolicy(), Qt::NoFocus);
    const bool repeats = which == B::Prior || which == B::Next;
    EXPECT_EQ(button(which)->autoRepeat(), repeats);
    if (repeats) {
      EXPECT_EQ(button(which)->autoRepeatDelay(), 400);
      EXPECT_EQ(button(which)->autoRepeatInterval(), 100);
    }
  }
  EXPECT_EQ(m_bar.focusPolicy(), Qt::NoFocus);
}

TEST_P(DataNavigatorTest, TheMemoEditorsBarHasEditPostAndCancelSharingTheWidth) {
  DataNavigator bar(m_employees.source, {B::Edit, B::Post, B::Cancel});
  bar.resize(87, 25);
  bar.show();
  EXPECT_EQ(bar.button(B::First), nullptr);
  EXPECT_EQ(bar.button(B::Edit)->geometry(), QRect(0, 0, 29, 25));
  EXPECT_EQ(bar.button(B::Post)->geometry(), QRect(29, 0, 29, 25));
  EXPECT_EQ(bar.button(B::Cancel)->geometry(), QRect(58, 0, 29, 25));
  m_employees.open();
  EXPECT_TRUE(bar.button(B::Edit)->isEnabled());
  EXPECT_FALSE(bar.button(B::Post)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Databases, DataNavigatorTest, testing::ValuesIn(writableDatabases()), databaseKindName);

}  // namespace
}  // namespace tabrix
