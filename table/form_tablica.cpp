#include "table/form_tablica.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPushButton>
#include <memory>

#include "data/data_source.h"
#include "data/field.h"
#include "data/table_dataset.h"
#include "table/form_memo.h"
#include "widgets/centre_over.h"
#include "widgets/data_grid.h"
#include "widgets/data_navigator.h"
#include "widgets/designed_controls.h"
#include "widgets/grid_model.h"
#include "widgets/handler_guard.h"
#include "widgets/message_boxes.h"
#include "widgets/minimum_outer_size.h"

namespace tabrix {

void TFormTablica::open(const QString& tableName, Connection& connection, QWidget* owner) {
  std::unique_ptr<TFormTablica> window;
  try {
    window = std::make_unique<TFormTablica>(connection, owner);
    window->ADOTable->setTableName(tableName);
  } catch (const std::exception&) {
    showMessage(QStringLiteral("Nie udało się ..."));
    return;
  }
  try {
    window->ADOTable->open();
    window->setWindowTitle(QStringLiteral("Tablica \"%1\"").arg(tableName));
    centreOver(*window, owner);
    window->show();
    window.release();
  } catch (const std::exception&) {
    try {
      window.reset();
      showMessage(QStringLiteral("Nie otworzono tablicy \"%1\"").arg(tableName));
    } catch (const std::exception&) {
      showMessage(QStringLiteral("Nie udało się ..."));
    }
  }
}

TFormTablica::TFormTablica(Connection& connection, QWidget* owner)
    : QWidget(owner, Qt::Window), ADOTable(new TableDataset(this)), DataSource1(new DataSource(this)) {
  setFont(windowFont());
  resize(510, 217);
  ADOTable->setObjectName(QStringLiteral("ADOTable"));
  ADOTable->setConnection(&connection);
  DataSource1->setObjectName(QStringLiteral("DataSource1"));
  DataSource1->setDataset(ADOTable);

  // Made in tab order: "Zamknij", "Edit MEMO", the grid.
  Panel1 = panel(QStringLiteral("Panel1"), this);
  DBNavigator1 = place(new DataNavigator(*DataSource1, DataNavigator::allButtons(), Panel1),
                       QStringLiteral("DBNavigator1"), 8, 8, 240, 25);
  b_close = button(QStringLiteral("b_close"), QStringLiteral("Zamknij"), 416, 8, 75, Panel1);
  b_Editmemo = button(QStringLiteral("b_Editmemo"), QStringLiteral("Edit MEMO"), 256, 8, 75, Panel1);
  Panel2 = panel(QStringLiteral("Panel2"), this);
  DBGrid = new DataGrid(*DataSource1, Panel2);
  DBGrid->setObjectName(QStringLiteral("DBGrid"));

  stackPanels(*this, *Panel1, 41, *Panel2, *DBGrid, 3);

  keepMinimumOuterSize(*this, QSize(509, 182));
  b_close->setFocus();

  connectHandler(b_close, &QPushButton::clicked, this, &TFormTablica::b_closeClick);
  connectHandler(b_Editmemo, &QPushButton::clicked, this, &TFormTablica::b_EditmemoClick);
  connect(DBGrid, &DataGrid::cellClicked, this, [this](int column) { runHandler([&] { DBGridCellClick(column); }); });
}

TFormTablica::~TFormTablica() {
  // The bound controls go before the data source they follow.
  delete Panel2;
  delete Panel1;
}

void TFormTablica::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TFormTablica::FormClose() {
  try {
    if (ADOTable->state() != DatasetState::Inactive) ADOTable->close();
  } catch (const std::exception&) {
    // The window closes whether or not its table did.
  }
}

void TFormTablica::b_closeClick() {
  close();
  deleteLater();
}

void TFormTablica::b_EditmemoClick() {
  if (!ADOTable->active()) return;
  if (Field* field = DBGrid->currentField()) OpenMemoEditor(*field, true);
}

void TFormTablica::DBGridCellClick(int column) {
  if (!ADOTable->active()) return;
  if (Field* field = DBGrid->gridModel().field(column)) OpenMemoEditor(*field, false);
}

void TFormTablica::OpenMemoEditor(Field& field, bool complain) {
  if (field.isLargeObject()) {
    TFormMemo::open(*this, *DataSource1, ADOTable->tableName(), field.name());
  } else if (complain) {
    showMessage(QStringLiteral("Kolumna \"%1\" nie jest typu MEMO").arg(field.name()));
  }
}

}  // namespace tabrix
