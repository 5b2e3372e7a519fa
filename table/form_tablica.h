#pragma once

#include <QWidget>

class QFrame;
class QPushButton;

namespace tabrix {

class Connection;
class DataGrid;
class DataNavigator;
class DataSource;
class Field;
class TableDataset;

// The table window: the rows of one table in a data grid under a navigator
// bar, "Zamknij" and "Edit MEMO". It owns its table dataset, attached to
// the main window's connection; the table is named once, before it opens.
// "Zamknij" closes and destroys the window; the title-bar close closes the
// table and only hides it. When the connection closes, the table closes
// with it: the grid empties and the window can only be closed.
//
// Long columns are edited in the memo editor, opened for the current column
// by "Edit MEMO" and by a click on a long cell from another cell.
class TFormTablica : public QWidget {
  Q_OBJECT

 public:
  // "Edytuj tablice": a new table window for the table the main window's
  // table box names, shown centred over `owner` (which owns it); or, when
  // the table doesn't open, no window and the message "Nie otworzono
  // tablicy \"name\"" ("Nie udało się ..." when not even that works).
  static void open(const QString& tableName, Connection& connection, QWidget* owner);

  // A hidden window whose table is not yet named.
  TFormTablica(Connection& connection, QWidget* owner);
  ~TFormTablica() override;

  TableDataset& table() const { return *ADOTable; }
  DataSource& dataSource() const { return *DataSource1; }

  // Opens the memo editor for a field of this window's table when its
  // column is long; otherwise, when `complain`, says that it isn't. Failures
  // of the memo editor are dropped.
  void OpenMemoEditor(Field& field, bool complain);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void b_closeClick();
  void b_EditmemoClick();
  void DBGridCellClick(int column);
  void FormClose();

  TableDataset* ADOTable;
  DataSource* DataSource1;
  QFrame* Panel1;
  DataNavigator* DBNavigator1;
  QPushButton* b_close;
  QPushButton* b_Editmemo;
  QFrame* Panel2;
  DataGrid* DBGrid;
};

}  // namespace tabrix
