// The grid's model over a live dataset: what its cells and headers show, and
// that every edit arrives as the right paired notice (checked by Qt's model
// tester and by a view's current cell that must stay put).
#include "widgets/grid_model.h"

#include <QAbstractItemModelTester>
#include <QTableView>
#include <gtest/gtest.h>

#include "data/errors.h"
#include "data/field.h"
#include "data/table_dataset.h"
#include "qt_printers.h"
#include "bound_table.h"

namespace tabrix {
namespace {

// Fails the test on any warning Qt's model tester prints.
class ModelTesterWarnings {
 public:
  ModelTesterWarnings() { s_previous = qInstallMessageHandler(&ModelTesterWarnings::handle); }
  ~ModelTesterWarnings() { qInstallMessageHandler(s_previous); }

 private:
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg && context.category && QByteArray(context.category) == "qt.modeltest")
      ADD_FAILURE() << "model tester: " << message.toStdString();
    else if (s_previous)
      s_previous(type, context, message);
  }
  static inline QtMessageHandler s_previous = nullptr;
};

class GridModelTest : public testing::TestWithParam<DatabaseKind> {
 protected:
  int column(const char* name) { return m_employees.column(name); }
  QString cell(int row, const char* name) { return m_model.data(m_model.index(row, column(name))).toString(); }
  GridModel::RowMark mark(int row) {
    return static_cast<GridModel::RowMark>(m_model.headerData(row, Qt::Vertical, GridModel::RowMarkRole).toInt());
  }

  BoundEmployees m_employees{GetParam()};
  TableDataset& m_table = m_employees.table;
  ModelTesterWarnings m_warnings;
  GridModel m_model{m_employees.source};
  QAbstractItemModelTester m_tester{&m_model, QAbstractItemModelTester::FailureReportingMode::Warning};
};

TEST_P(GridModelTest, ShowsTheFieldsTheirValuesAndTheLongColumnsTypes) {
  EXPECT_EQ(m_model.rowCount(), 0);
  EXPECT_EQ(m_model.columnCount(), 0);
  m_table.open();
  EXPECT_EQ(m_model.rowCount(), 9);
  EXPECT_EQ(m_model.columnCount(), m_table.fieldCount());
  EXPECT_EQ(m_model.headerData(column("LastName"), Qt::Horizontal).toString(), "LastName");
  EXPECT_FALSE(m_model.headerData(0, Qt::Vertical).isValid());  // the indicator has no text
  EXPECT_EQ(cell(1, "LastName"), "Fuller");
  EXPECT_EQ(cell(0, "ReportsTo"), "2");
  EXPECT_EQ(cell(1, "ReportsTo"), "");
  EXPECT_EQ(cell(0, "Notes"), "(MEMO)");
  EXPECT_EQ(cell(0, "Photo"), "(BLOB)");
  EXPECT_EQ(m_model.data(m_model.index(0, column("ReportsTo")), Qt::TextAlignmentRole).value<Qt::Alignment>(),
            Qt::AlignRight | Qt::AlignVCenter);
  EXPECT_EQ(m_model.data(m_model.index(0, column("LastName")), Qt::TextAlignmentRole).value<Qt::Alignment>(),
            Qt::AlignLeft | Qt::AlignVCenter);

  m_table.setRecNo(2);
  m_table.edit();
  m_table.fieldByName("Notes").clear();
  m_table.fieldByName("Photo").clear();
  EXPECT_EQ(cell(1, "Notes"), "(Memo)");  // a null keeps the name as written
  EXPECT_EQ(cell(1, "Photo"), "(Blob)");
}

TEST(TypeLabelTest, NamesTheLongTypes) {
  const struct Case {
    DataType type;
    bool null;
    const char* label;
  } cases[] = {{DataType::LongVarChar, false, "(MEMO)"},      {DataType::LongVarChar, true, "(Memo)"},
               {DataType::LongVarWChar, false, "(WIDEMEMO)"}, {DataType::LongVarWChar, true, "(WideMemo)"},
               {DataType::LongVarBinary, false, "(BLOB)"},    {DataType::LongVarBinary, true, "(Blob)"}};
  for (const Case& c : cases) {
    ColumnInfo column;
    column.type = c.type;
    TableDataset dataset;
    const Field field(dataset, 0, column, "F");
    EXPECT_EQ(typeLabel(field, c.null), c.label);
  }
}

TEST_P(GridModelTest, TheIndicatorMarksTheCurrentRowAndItsState) {
  m_table.open();
  EXPECT_EQ(mark(0), GridModel::RowMark::Current);
  EXPECT_EQ(mark(1), GridModel::RowMark::None);
  m_table.next();
  EXPECT_EQ(mark(0), GridModel::RowMark::None);
  EXPECT_EQ(mark(1), GridModel::RowMark::Current);
  m_table.edit();
  EXPECT_EQ(mark(1), GridModel::RowMark::Edited);
  m_table.cancel();
  m_table.insert();
  EXPECT_EQ(mark(1), GridModel::RowMark::Inserted);
  EXPECT_EQ(mark(2), GridModel::RowMark::None);
}

TEST_P(GridModelTest, EditsArriveAsPairedNoticesAndAViewKeepsItsPlace) {
  QTableView view;
  view.setModel(&m_model);
  m_table.open();
  view.setCurrentIndex(m_model.index(5, 1));

  m_table.setRecNo(3);
  m_table.insert();  // before row 2: the view's current row moves down with its row
  EXPECT_EQ(view.currentIndex().row(), 6);
  EXPECT_EQ(m_model.rowCount(), 10);
  m_table.cancel();
  EXPECT_EQ(view.currentIndex().row(), 5);

  m_table.append();
  m_table.fieldByName("LastName").setText("Nowak");
  m_table.post();
  EXPECT_EQ(m_model.rowCount(), 10);
  EXPECT_EQ(cell(9, "LastName"), "Nowak");

  m_table.setRecNo(2);
  m_table.edit();
  m_table.fieldByName("FirstName").setText("Andy");
  EXPECT_EQ(cell(1, "FirstName"), "Andy");
  m_table.remove();  // a row deleted while it is being edited
  EXPECT_EQ(m_model.rowCount(), 9);
  EXPECT_EQ(view.currentIndex().row(), 4);
  EXPECT_EQ(cell(1, "LastName"), "Leverling");

  m_table.refresh();
  EXPECT_EQ(m_model.rowCount(), 9);
  m_table.close();
  EXPECT_EQ(m_model.rowCount(), 0);
  EXPECT_EQ(m_model.columnCount(), 0);
}

TEST_P(GridModelTest, CellsAreWrittenOnlyIntoTheRowBeingEdited) {
  m_table.open();
  const QModelIndex first = m_model.index(0, column("FirstName"));
  EXPECT_FALSE(m_model.setData(first, "Nan"));  // browsing
  m_table.edit();
  EXPECT_FALSE(m_model.setData(m_model.index(1, column("FirstName")), "Andy"));
  EXPECT_FALSE(m_model.setData(m_model.index(0, column("Notes")), "x"));  // a long column
  EXPECT_TRUE(m_model.cellEditable(first));
  EXPECT_FALSE(m_model.cellEditable(m_model.index(1, column("FirstName"))));
  EXPECT_TRUE(m_model.setData(first, "Nan"));
  EXPECT_EQ(m_table.fieldByName("FirstName").text(), "Nan");
  EXPECT_THROW(m_model.setData(m_model.index(0, column("ReportsTo")), "dwa"), DatabaseError);
  m_table.post();
  EXPECT_EQ(m_employees.database().value("FirstName", 1), "Nan");
}

INSTANTIATE_TEST_SUITE_P(Databases, GridModelTest, testing::ValuesIn(writableDatabases()), databaseKindName);

}  // namespace
}  // namespace tabrix
