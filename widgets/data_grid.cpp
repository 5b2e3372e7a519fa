#include "widgets/data_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopeGuard>
#include <algorithm>
#include <utility>

#include "data/data_source.h"
#include "data/field.h"
#include "widgets/delete_record.h"
#include "widgets/grid_cursor.h"
#include "widgets/grid_delegate.h"
#include "widgets/grid_indicator.h"
#include "widgets/grid_model.h"
#include "widgets/grid_titles.h"
#include "widgets/handler_guard.h"

namespace tabrix {

namespace {

bool startsText(const QKeyEvent& key) {
  const QString text = key.text();
  return !text.isEmpty() && text.at(0).isPrint() && !(key.modifiers() & Qt::ControlModifier);
}

}  // namespace

DataGrid::DataGrid(DataSource& source, QWidget* parent)
    : QTableView(parent), m_source(source), m_model(new GridModel(source, this)) {
  setHorizontalHeader(new GridTitles(this));
  setVerticalHeader(new GridIndicator(this));
  m_delegate = new GridDelegate(*m_model,
                                {[this] { return beginCellChange(); }, [this](QKeyEvent& key) { return editorKey(key); }},
                                this);
  setItemDelegate(m_delegate);
  setModel(m_model);

  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::AnyKeyPressed);
  setTabKeyNavigation(true);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setAutoScroll(false);

  QHeaderView* titles = horizontalHeader();
  // A title press selects nothing and a separator's double-click measures
  // nothing; a press on the indicator moves to its row.
  for (QHeaderView* header : {titles, verticalHeader()}) {
    disconnect(header, &QHeaderView::sectionPressed, this, nullptr);
    disconnect(header, &QHeaderView::sectionEntered, this, nullptr);
    disconnect(header, &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
  }
  connect(verticalHeader(), &QHeaderView::sectionPressed, this, &DataGrid::pressIndicator);
  connect(titles, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (!m_sizingColumns) emit columnResizedByHand(column, width);
  });
  updateRowHeight();

  // Before the cursor's: the columns are laid out before it scrolls to the
  // current cell.
  connect(&source, &DataSource::aboutToReset, this, &DataGrid::saveColumns);
  connect(&source, &DataSource::rowsReset, this, &DataGrid::restoreColumns);
  m_cursor = new GridCursor(source, *this, *m_model);
  restoreColumns();
  m_cursor->sync();

  // An editor over a row that changes under it would show what is no longer
  // there; what it held was written before any move of the grid's own.
  connect(&source, &DataSource::aboutToReset, this, &DataGrid::discardEditor);
  connect(&source, &DataSource::currentChanged, this, &DataGrid::discardEditor);
  connect(&source, &DataSource::aboutToInsertRow, this, &DataGrid::discardEditor);
  connect(&source, &DataSource::aboutToRemoveRow, this, &DataGrid::discardEditor);
  connect(&source, &DataSource::stateChanged, this, [this] {
    if (!m_source.editing()) discardEditor();
  });
  connect(&source, &DataSource::recordUpdating, this, &DataGrid::writeEditor);
  connect(qApp, &QApplication::focusChanged, this, &DataGrid::focusChanged);
}

DataGrid::~DataGrid() {
  // Its widgets lose the focus as they go; the grid is no longer there to
  // hear of it.
  disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

int DataGrid::currentColumn() const { return m_cursor->column(); }

Field* DataGrid::currentField() const { return m_model->field(currentColumn()); }

void DataGrid::setTitlesHighlight(bool on) { static_cast<GridTitles*>(horizontalHeader())->setHighlight(on); }

void DataGrid::setSelectionWithoutFocus(bool on) {
  m_delegate->setSelectionWithoutFocus(on);
  viewport()->update();
}

void DataGrid::setTitleFont(const QFont& font) { horizontalHeader()->setFont(font); }

int DataGrid::characterWidth() const { return fontMetrics().horizontalAdvance(QLatin1Char('0')); }

void DataGrid::updateRowHeight() {
  const int height = fontMetrics().height() + 4;
  verticalHeader()->setMinimumSectionSize(std::min(height, verticalHeader()->minimumSectionSize()));
  verticalHeader()->setDefaultSectionSize(height);
}

void DataGrid::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::FontChange) updateRowHeight();
}

void DataGrid::saveColumns() {
  if (!m_fieldNames.isEmpty()) m_columnLayout = horizontalHeader()->saveState();
}

void DataGrid::restoreColumns() {
  QStringList names;
  for (int column = 0; column < m_model->columnCount(); ++column) names << m_model->field(column)->name();
  m_sizingColumns = true;
  const auto sized = qScopeGuard([this] { m_sizingColumns = false; });
  // A refresh keeps the widths and places the user gave the columns.
  if (names.isEmpty() || names != m_fieldNames || !horizontalHeader()->restoreState(m_columnLayout)) {
    const QFontMetrics titleMetrics(horizontalHeader()->font());
    const int titleMargin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader()) + 4;
    for (int column = 0; column < names.size(); ++column) {
      const int valueWidth = m_model->field(column)->displayWidth() * characterWidth() + 4;
      setColumnWidth(column, std::max(valueWidth, titleMetrics.horizontalAdvance(names[column]) + titleMargin));
    }
  }
  m_fieldNames = names;
  m_columnLayout.clear();
}

bool DataGrid::beginCellChange() {
  if (!m_model->cellEditable(currentIndex())) return false;
  bool editing = false;
  runHandler([&] { editing = m_source.edit(); });
  return editing;
}

void DataGrid::openEditor() {
  if (currentIndex().isValid()) edit(currentIndex());
}

void DataGrid::writeEditor() {
  QLineEdit* editor = m_delegate->editor();
  if (!editor) return;
  m_delegate->setModelData(editor, m_model, currentIndex());
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DataGrid::discardEditor() {
  if (QLineEdit* editor = m_delegate->editor()) closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DataGrid::moveColumn(int step) {
  const int columns = m_model->columnCount();
  if (columns == 0) return;
  writeEditor();
  const QHeaderView* titles = horizontalHeader();
  const int visual = std::clamp(titles->visualIndex(currentColumn()) + step, 0, columns - 1);
  m_cursor->setColumn(titles->logicalIndex(visual));
}

void DataGrid::tab(bool forward) {
  const int columns = m_model->columnCount();
  if (columns == 0) return;
  writeEditor();
  const QHeaderView* titles = horizontalHeader();
  const int visual = titles->visualIndex(currentColumn());
  if (forward && visual + 1 < columns) {
    m_cursor->setColumn(titles->logicalIndex(visual + 1));
  } else if (!forward && visual > 0) {
    m_cursor->setColumn(titles->logicalIndex(visual - 1));
  } else if (forward) {
    m_cursor->down();
    m_cursor->setColumn(titles->logicalIndex(0));
  } else {
    m_cursor->up();
    m_cursor->setColumn(titles->logicalIndex(columns - 1));
  }
}

bool DataGrid::gridKey(QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  const bool control = modifiers & Qt::ControlModifier;
  const int page = std::max(1, viewport()->height() / verticalHeader()->defaultSectionSize());
  switch (key.key()) {
    case Qt::Key_Up: m_cursor->up(); return true;
    case Qt::Key_Down: m_cursor->down(); return true;
    case Qt::Key_PageUp: m_cursor->moveBy(-page); return true;
    case Qt::Key_PageDown: m_cursor->moveBy(page); return true;
    case Qt::Key_Home: control ? m_cursor->first() : moveColumn(-m_model->columnCount()); return true;
    case Qt::Key_End: control ? m_cursor->last() : moveColumn(m_model->columnCount()); return true;
    case Qt::Key_Left: moveColumn(-1); return true;
    case Qt::Key_Right: moveColumn(1); return true;
    case Qt::Key_Tab: tab(!(modifiers & Qt::ShiftModifier)); return true;
    case Qt::Key_Backtab: tab(false); return true;
    case Qt::Key_Insert:
      if (modifiers != Qt::NoModifier) return false;
      m_cursor->insert();
      return true;
    case Qt::Key_Delete:
      if (!control) return false;
      discardEditor();
      deleteRecord(m_source);
      return true;
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter: openEditor(); return true;
    case Qt::Key_Escape: m_cursor->cancel(); return true;
    default: return false;
  }
}

bool DataGrid::gridKeyHandled(QKeyEvent& key) {
  bool handled = true;  // a key whose action failed was the grid's all the same
  runHandler([&] { handled = gridKey(key); });
  return handled;
}

bool DataGrid::editorKey(QKeyEvent& key) {
  const bool control = key.modifiers() & Qt::ControlModifier;
  bool handled = true;
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      runHandler([this] { writeEditor(); });
      break;
    case Qt::Key_Escape: {
      const bool cellChanged = m_delegate->editor()->isModified();
      discardEditor();
      if (!cellChanged) runHandler([this] { m_cursor->cancel(); });
      break;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Delete:
      handled = control && gridKeyHandled(key);
      break;
    case Qt::Key_Insert:
      handled = key.modifiers() == Qt::NoModifier && gridKeyHandled(key);
      break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      handled = gridKeyHandled(key);
      break;
    default:
      handled = false;
  }
  if (handled) key.accept();
  return handled;
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
  if (gridKeyHandled(*event)) {
    event->accept();
    return;
  }
  // Typing into an empty table starts a new row, as Edit does there.
  if (startsText(*event) && m_model->rowCount() == 0 && m_model->columnCount() > 0) runHandler([this] { m_source.edit(); });
  QTableView::keyPressEvent(event);
}

void DataGrid::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  viewport()->update(visualRect(currentIndex()));
}

void DataGrid::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  viewport()->update(visualRect(currentIndex()));
}

void DataGrid::keyboardSearch(const QString&) {
  // Typing edits the cell; it never searches the rows.
}

void DataGrid::mousePressEvent(QMouseEvent* event) {
  m_clickPending = false;
  event->accept();
  const QModelIndex index = indexAt(event->position().toPoint());
  if (event->button() != Qt::LeftButton || !index.isValid()) return;
  runHandler([&] {
    if (index == currentIndex()) {
      openEditor();
      return;
    }
    writeEditor();
    m_cursor->setColumn(index.column());
    m_cursor->moveToRow(index.row());
    m_clickPending = true;
  });
}

void DataGrid::mouseMoveEvent(QMouseEvent* event) {
  // Dragging over the cells selects nothing and moves nowhere.
  if (event->buttons() != Qt::NoButton) {
    event->accept();
    return;
  }
  QTableView::mouseMoveEvent(event);
}

void DataGrid::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton || !std::exchange(m_clickPending, false)) return;
  if (indexAt(event->position().toPoint()).isValid()) emit cellClicked(currentColumn());
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void DataGrid::pressIndicator(int row) {
  setFocus(Qt::MouseFocusReason);
  runHandler([&] {
    writeEditor();
    m_cursor->moveToRow(row);
  });
}

void DataGrid::focusChanged(QWidget* old, QWidget* now) {
  const auto inGrid = [this](QWidget* widget) { return widget == this || isAncestorOf(widget); };
  if (!old || !now || !inGrid(old) || inGrid(now) || now->window() != window()) return;
  runHandler([this] {
    try {
      writeEditor();
    } catch (...) {
      if (QLineEdit* editor = m_delegate->editor())
        editor->setFocus(Qt::OtherFocusReason);
      else
        setFocus(Qt::OtherFocusReason);
      throw;
    }
    Dataset* dataset = m_source.dataset();
    if (dataset && dataset->state() == DatasetState::Insert && !dataset->modified()) m_cursor->cancel();
  });
}

}  // namespace tabrix
