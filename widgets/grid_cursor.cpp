#include "widgets/grid_cursor.h"

#include <QScopeGuard>
#include <QTableView>
#include <algorithm>

#include "data/data_source.h"
#include "widgets/grid_model.h"

namespace tabrix {

GridCursor::GridCursor(DataSource& source, QTableView& view, GridModel& model)
    : QObject(&view), m_source(source), m_view(view), m_model(model) {
  connect(&source, &DataSource::currentChanged, this, &GridCursor::sync);
  connect(&source, &DataSource::rowsReset, this, &GridCursor::sync);
}

Dataset* GridCursor::dataset() const {
  Dataset* dataset = m_source.dataset();
  return dataset && dataset->active() ? dataset : nullptr;
}

int GridCursor::column() const {
  const int columns = m_model.columnCount();
  return columns == 0 ? -1 : std::clamp(m_column, 0, columns - 1);
}

void GridCursor::setColumn(int column) {
  m_column = column;
  sync();
}

void GridCursor::sync() {
  QItemSelectionModel* selection = m_view.selectionModel();
  Dataset* open = dataset();
  if (!selection) return;
  if (!open || open->position() < 0 || column() < 0) {
    selection->clearCurrentIndex();
    return;
  }
  const QModelIndex index = m_model.index(open->position(), column());
  if (index != selection->currentIndex()) selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  m_view.scrollTo(index);
}

int GridCursor::endEdit(int row) {
  Dataset& open = *dataset();
  if (open.state() == DatasetState::Insert && !open.modified()) {
    const int inserted = open.position();
    open.cancel();
    return row > inserted ? row - 1 : row;
  }
  if (open.state() == DatasetState::Edit || open.state() == DatasetState::Insert) {
    if (open.modified())
      open.post();
    else
      open.cancel();
  }
  return row;
}

void GridCursor::moveToRow(int row) {
  const auto synced = qScopeGuard([this] { sync(); });
  Dataset* open = dataset();
  if (!open || row == open->position()) return;
  m_source.updateRecord();
  open->setRecNo(endEdit(row) + 1);
}

void GridCursor::down() {
  const auto synced = qScopeGuard([this] { sync(); });
  Dataset* open = dataset();
  if (!open) return;
  m_source.updateRecord();
  if (open->state() == DatasetState::Insert && !open->modified()) {
    if (open->eof()) return;
    open->cancel();
  } else {
    open->next();
  }
  if (open->eof() && open->canModify()) open->append();
}

void GridCursor::up() {
  const auto synced = qScopeGuard([this] { sync(); });
  Dataset* open = dataset();
  if (!open) return;
  m_source.updateRecord();
  if (open->state() == DatasetState::Insert && !open->modified() && open->eof())
    open->cancel();
  else
    open->prior();
}

void GridCursor::moveBy(int rows) {
  const auto synced = qScopeGuard([this] { sync(); });
  Dataset* open = dataset();
  if (!open) return;
  m_source.updateRecord();
  const int row = endEdit(std::max(open->position() + rows, 0));
  open->setRecNo(row + 1);
}

void GridCursor::first() {
  const auto synced = qScopeGuard([this] { sync(); });
  if (!dataset()) return;
  m_source.updateRecord();
  dataset()->first();
}

void GridCursor::last() {
  const auto synced = qScopeGuard([this] { sync(); });
  if (!dataset()) return;
  m_source.updateRecord();
  dataset()->last();
}

void GridCursor::insert() {
  const auto synced = qScopeGuard([this] { sync(); });
  Dataset* open = dataset();
  if (!open || !open->canModify()) return;
  m_source.updateRecord();
  open->insert();
}

void GridCursor::cancel() {
  const auto synced = qScopeGuard([this] { sync(); });
  if (Dataset* open = dataset()) open->cancel();
}

}  // namespace tabrix
