#pragma once

#include <QAbstractTableModel>

namespace tabrix {

class DataSource;
class Dataset;
class Field;

// A long column's cell shows its type in parentheses instead of the value:
// "Memo" for long text, "WideMemo" for long Unicode text, "Blob" for long
// binary data, all in capitals when the value is not null.
QString typeLabel(const Field& field, bool isNull);

// The rows of a data source's dataset as a table: one column per field,
// titled with its name; a cell shows the value as text (a long column's its
// type label). It answers from the dataset's rows where they are, copying
// nothing, and follows the data source's paired notices, so that a view
// keeps its current cell and scroll position across an edit, an insert or a
// delete. Without an open dataset it has no rows and no columns.
//
// The vertical header has no text: RowMarkRole gives what the row indicator
// shows.
class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum class RowMark { None, Current, Edited, Inserted };
  static constexpr int RowMarkRole = Qt::UserRole + 1;

  // The source must outlive the model.
  explicit GridModel(DataSource& source, QObject* parent = nullptr);

  DataSource& dataSource() const { return m_source; }
  // The field shown in a column, or nullptr.
  Field* field(int column) const;
  // Whether typing may change a cell: it is in the row that can be edited,
  // of a field that can be written, and not of a long column (a long
  // column's cell editor shows the type label and refuses input).
  bool cellEditable(const QModelIndex& index) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Writes a cell editor's text into the field of the row being edited or
  // inserted (not yet to the database). False for any other row; the
  // field's DatabaseError when the text is no value of its type.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 private:
  Dataset* openDataset() const;
  bool inRange(const QModelIndex& index) const;
  RowMark markOf(int row) const;
  void moveMark();
  void rowInserted(int position);
  void rowRemoved(int position);

  DataSource& m_source;
  int m_markedRow = -1;  // the row whose indicator shows a mark
};

}  // namespace tabrix
