#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTableView>

namespace tabrix {

class DataSource;
class Field;
class GridCursor;
class GridDelegate;
class GridModel;

// The data-bound grid: the rows of a data source's dataset in a table, one
// column per field, a title row and a row indicator, edited in place with
// automatic edit mode. Keys:
//
//   typing, F2      the cell editor on the current cell; typing also puts the
//                   row into edit mode (a long column's editor refuses input)
//   Enter           writes the editor's text into the row, or opens the editor
//   Esc             drops the cell's change; with none, the row's edit
//   Insert          a new row before the current one
//   Ctrl+Delete     "Delete record?", then deletes the row
//   Up, Down        the row above or below (GridCursor: Down past the last
//                   row appends; an untouched new row is dropped)
//   Tab, Shift+Tab  the next or previous cell, wrapping to the next or
//                   previous row
//   Ctrl+Home/End   the first or last row; Home/End the first or last column
//
// A press on a data cell makes it current (ending the row's edit when the
// row changes); a press on the current cell opens its editor instead. The
// release of such a press over the cell reports cellClicked; nothing else
// does (titles, the indicator, column resizing, the editor). When the focus
// leaves the grid for another control of its window, the editor's text is
// written into the row and a new row nothing was typed into is dropped.
//
// Columns are resized and moved by dragging their titles. Nothing the grid
// does walks the rows: every row is as high as the others and column widths
// come from the fields' display widths, so it stays smooth on a million rows.
//
// The model (GridModel) follows the data source; the cursor (GridCursor)
// moves the dataset's current row as the grid asks; this class is the view.
class DataGrid : public QTableView {
  Q_OBJECT

 public:
  // The source must outlive the grid.
  explicit DataGrid(DataSource& source, QWidget* parent = nullptr);
  ~DataGrid() override;

  DataSource& dataSource() const { return m_source; }
  GridModel& gridModel() const { return *m_model; }

  // The current column (logical), kept also while there are no rows; -1
  // without fields.
  int currentColumn() const;
  // Its field, or nullptr.
  Field* currentField() const;

  // Titles highlight under the mouse pointer and press in when clicked (on
  // by default).
  void setTitlesHighlight(bool on);
  // The current cell stays highlighted while the grid has no focus (off by
  // default).
  void setSelectionWithoutFocus(bool on);
  void setTitleFont(const QFont& font);
  // The width of "0" in the grid's font: the character width of the
  // fields' display widths.
  int characterWidth() const;

 signals:
  // The left button was released over the data cell its press made current.
  void cellClicked(int column);
  // The user dragged a title separator: the column's new width in pixels.
  void columnResizedByHand(int column, int width);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyboardSearch(const QString& search) override;
  void changeEvent(QEvent* event) override;

 private:
  // A key of the grid; true when it was one. gridKeyHandled() shows what
  // the key's action throws.
  bool gridKey(QKeyEvent& key);
  bool gridKeyHandled(QKeyEvent& key);
  bool editorKey(QKeyEvent& key);
  bool beginCellChange();
  void openEditor();
  // Writes the open editor's changed text into the row, then closes it; the
  // editor stays open when the field refuses the text.
  void writeEditor();
  void discardEditor();
  void tab(bool forward);
  void moveColumn(int step);
  void focusChanged(QWidget* old, QWidget* now);
  void pressIndicator(int row);
  void saveColumns();
  void restoreColumns();
  void updateRowHeight();

  DataSource& m_source;
  GridModel* m_model;
  GridDelegate* m_delegate;
  GridCursor* m_cursor;
  bool m_clickPending = false;
  bool m_sizingColumns = false;
  // The titles' layout across a reset that keeps the fields.
  QStringList m_fieldNames;
  QByteArray m_columnLayout;
};

}  // namespace tabrix
