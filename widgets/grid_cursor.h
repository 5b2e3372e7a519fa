#pragma once

#include <QObject>

class QTableView;

namespace tabrix {

class DataSource;
class Dataset;
class GridModel;

// Moves the dataset's current row as the grid asks, by the grid's rules, and
// keeps the view's current cell on the dataset's current row and the
// cursor's column, whoever moved it (the grid, a navigator, a refresh).
//
// Every move first asks the bound controls to write what they hold
// (DataSource::updateRecord), then ends the row's edit: a row with changes
// is posted, one without is cancelled, and a new row nothing was typed into
// is dropped. The dataset's errors come out of each call, and the view
// still follows the dataset.
class GridCursor : public QObject {
  Q_OBJECT

 public:
  // The source, view and model must outlive the cursor; the view shows the
  // model, which follows the source.
  GridCursor(DataSource& source, QTableView& view, GridModel& model);

  // The current column (logical), kept also while there are no rows; -1
  // without columns.
  int column() const;
  void setColumn(int column);

  // To a row of the view, as it stood before the move: a click.
  void moveToRow(int row);
  // Down: the next row; from the last row (or on an empty table) a new row
  // is appended where the table can be modified. From a new row nothing was
  // typed into, it only drops that row, and at the end of the table it
  // does nothing.
  void down();
  // Up: the previous row; from a new row nothing was typed into, the row is
  // dropped (and, where it stood before other rows, the row above it
  // becomes current).
  void up();
  // By a page of rows, stopping at the first and the last.
  void moveBy(int rows);
  void first();
  void last();
  // A new row before the current one, where the table can be modified.
  void insert();
  // Drops the row's edit or the new row.
  void cancel();

  // Puts the view's current cell on the dataset's current row and the
  // cursor's column, and scrolls it into view.
  void sync();

 private:
  Dataset* dataset() const;
  // Ends the row's edit; gives the row of the view that `row` has become.
  int endEdit(int row);

  DataSource& m_source;
  QTableView& m_view;
  GridModel& m_model;
  int m_column = 0;
};

}  // namespace tabrix
