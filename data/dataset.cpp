#include "data/dataset.h"

#include <algorithm>

#include "data/connection.h"
#include "data/driver.h"
#include "data/errors.h"
#include "data/field_names.h"
#include "data/locate.h"
#include "data/row_store.h"
#include "data/value_parse.h"
#include "data/value_text.h"

namespace tabrix {

Dataset::Dataset(QObject* parent) : QObject(parent) {}

Dataset::~Dataset() = default;

void Dataset::setConnection(Connection* connection) {
  if (connection == m_connection) return;
  close();
  QObject::disconnect(m_closingLink);
  m_connection = connection;
  if (connection) m_closingLink = QObject::connect(connection, &Connection::aboutToClose, this, &Dataset::close);
}

void Dataset::fail(const QString& what) const { throw DatabaseError(objectName(), what); }

Driver& Dataset::driver() const {
  if (!m_connection) fail(QStringLiteral("Missing Connection or ConnectionString"));
  return m_connection->driver();
}

void Dataset::requireActive() const {
  if (!active()) fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void Dataset::requireInactive() const {
  if (m_state != DatasetState::Inactive) fail(QStringLiteral("Cannot perform this operation on an open dataset"));
}

void Dataset::setState(DatasetState state) {
  if (state == m_state) return;
  m_state = state;
  emit stateChanged(state);
}

std::unique_ptr<RowStore> Dataset::readRows() {
  auto store = std::make_unique<RowStore>();
  read(*store);
  store->shrinkToFit();
  m_formatter = ValueFormatter::forLocale(QLocale());
  return store;
}

void Dataset::buildFields() {
  m_fields.clear();
  const std::vector<ColumnInfo>& columns = m_store->info().columns;
  std::vector<QString> names;
  for (const ColumnInfo& column : columns) names.push_back(column.name);
  names = fieldNames(names);
  for (std::size_t i = 0; i < columns.size(); ++i)
    m_fields.push_back(std::make_unique<Field>(*this, static_cast<int>(i), columns[i], names[i]));
}

void Dataset::open() {
  if (m_state != DatasetState::Inactive) return;
  emit beforeOpen();
  setState(DatasetState::Opening);
  try {
    std::unique_ptr<RowStore> store = readRows();
    emit aboutToReset();
    m_store = std::move(store);
  } catch (...) {
    setState(DatasetState::Inactive);
    throw;
  }
  m_order.resize(m_store->rowCount());
  for (std::uint32_t i = 0; i < m_order.size(); ++i) m_order[i] = i;
  buildFields();
  m_current = m_order.empty() ? -1 : 0;
  m_bof = true;
  m_eof = m_order.empty();
  setState(DatasetState::Browse);
  emit rowsReset();
  emit currentChanged(m_current);
  emit afterOpen();
}

void Dataset::close() {
  if (m_state == DatasetState::Inactive) return;
  emit aboutToReset();
  m_fields.clear();
  m_store.reset();
  m_order.clear();
  m_buffer.clear();
  m_changed.clear();
  m_current = -1;
  m_bof = m_eof = true;
  m_state = DatasetState::Inactive;
  emit rowsReset();
  emit stateChanged(m_state);
  emit currentChanged(m_current);
}

Field* Dataset::findField(const QString& name) const {
  for (const auto& field : m_fields)
    if (field->name().compare(name, Qt::CaseInsensitive) == 0) return field.get();
  return nullptr;
}

Field& Dataset::fieldByName(const QString& name) const {
  Field* field = findField(name);
  if (!field) fail(QStringLiteral("Field '%1' not found").arg(name));
  return *field;
}

int Dataset::recordCount() const {
  return static_cast<int>(m_order.size()) + (m_state == DatasetState::Insert ? 1 : 0);
}

void Dataset::moveTo(int position, bool bof, bool eof) {
  const bool changed = position != m_current || bof != m_bof || eof != m_eof;
  m_current = position;
  m_bof = bof;
  m_eof = eof;
  if (changed) emit currentChanged(m_current);
}

void Dataset::first() {
  requireActive();
  endEdit();
  moveTo(m_order.empty() ? -1 : 0, true, m_order.empty());
}

void Dataset::last() {
  requireActive();
  endEdit();
  moveTo(static_cast<int>(m_order.size()) - 1, m_order.empty(), true);
}

void Dataset::next() {
  requireActive();
  endEdit();
  if (m_current + 1 < static_cast<int>(m_order.size()))
    moveTo(m_current + 1, false, false);
  else
    moveTo(m_current, m_order.empty(), true);
}

void Dataset::prior() {
  requireActive();
  endEdit();
  if (m_current > 0)
    moveTo(m_current - 1, false, false);
  else
    moveTo(m_current, true, m_order.empty());
}

void Dataset::setRecNo(int recNo) {
  requireActive();
  endEdit();
  if (m_order.empty()) return;
  const int position = std::clamp(recNo - 1, 0, static_cast<int>(m_order.size()) - 1);
  moveTo(position, false, false);
}

bool Dataset::canModify() const {
  if (!active() || m_store->info().table.isEmpty()) return false;
  return std::any_of(m_fields.begin(), m_fields.end(), [](const auto& field) { return field->canModify(); });
}

bool Dataset::modified() const { return std::find(m_changed.begin(), m_changed.end(), true) != m_changed.end(); }

void Dataset::endEdit() {
  if (m_state != DatasetState::Edit && m_state != DatasetState::Insert) return;
  if (modified())
    post();
  else
    cancel();
}

void Dataset::edit() {
  requireActive();
  if (m_state == DatasetState::Edit || m_state == DatasetState::Insert) return;
  if (!canModify()) fail(QStringLiteral("Cannot modify a read-only dataset"));
  if (m_order.empty()) {
    insert();
    return;
  }
  const std::uint32_t row = m_order[m_current];
  m_buffer.clear();
  for (int i = 0; i < fieldCount(); ++i) m_buffer.push_back(m_store->cell(row, i));
  m_changed.assign(fieldCount(), false);
  setState(DatasetState::Edit);
  emit rowChanged(m_current);
}

void Dataset::insert() {
  requireActive();
  endEdit();
  if (!canModify()) fail(QStringLiteral("Cannot modify a read-only dataset"));
  const int position = std::max(m_current, 0);
  m_buffer.assign(fieldCount(), Cell());
  m_changed.assign(fieldCount(), false);
  emit aboutToInsertRow(position);
  m_current = position;
  m_bof = m_eof = false;
  m_state = DatasetState::Insert;
  emit rowInserted(position);
  emit stateChanged(m_state);
  emit currentChanged(m_current);
}

void Dataset::append() {
  requireActive();
  endEdit();
  if (!canModify()) fail(QStringLiteral("Cannot modify a read-only dataset"));
  const int position = static_cast<int>(m_order.size());
  m_buffer.assign(fieldCount(), Cell());
  m_changed.assign(fieldCount(), false);
  emit aboutToInsertRow(position);
  m_current = position;
  m_bof = false;
  m_eof = true;
  m_state = DatasetState::Insert;
  emit rowInserted(position);
  emit stateChanged(m_state);
  emit currentChanged(m_current);
}

std::vector<ColumnValue> Dataset::originalValues(std::uint32_t row) const {
  // Every value that can be compared in a WHERE: the key among them, so the
  // row is found, and the rest, so a row changed since it was read is not.
  std::vector<ColumnValue> where;
  for (const auto& field : m_fields) {
    const ColumnInfo& column = field->column();
    if (column.baseColumn.isEmpty() || isLargeObject(column.type)) continue;
    where.push_back({column.baseColumn, column.type, column.size, column.precision, column.scale,
                     m_store->cell(row, field->index())});
  }
  return where;
}

void Dataset::post() {
  if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
    fail(QStringLiteral("Dataset not in edit or insert mode"));
  Driver& target = driver();
  const ResultInfo& info = m_store->info();
  std::vector<ColumnValue> values;
  for (const auto& field : m_fields) {
    const ColumnInfo& column = field->column();
    if (m_changed[field->index()])
      values.push_back({column.baseColumn, column.type, column.size, column.precision, column.scale,
                        m_buffer[field->index()]});
  }

  if (m_state == DatasetState::Edit) {
    const std::uint32_t row = m_order[m_current];
    if (!values.empty()) {
      target.updateRow(info.table, m_store->bookmark(row), originalValues(row), values);
      m_store->replaceRow(row, m_buffer);
    }
  } else {
    RowStore readBack;
    std::vector<Cell> cells = m_buffer;
    std::optional<Bookmark> bookmark;
    if (target.insertRow(info.table, values, info, readBack) && readBack.rowCount() == 1) {
      for (int i = 0; i < fieldCount(); ++i) cells[i] = readBack.cell(0, i);
      bookmark = readBack.bookmark(0);
    }
    const std::uint32_t row = m_store->addRow(std::move(cells), bookmark);
    m_order.insert(m_order.begin() + m_current, row);
  }
  m_buffer.clear();
  m_changed.clear();
  setState(DatasetState::Browse);
  emit rowChanged(m_current);
}

void Dataset::cancel() {
  if (m_state == DatasetState::Edit) {
    m_buffer.clear();
    m_changed.clear();
    setState(DatasetState::Browse);
    emit rowChanged(m_current);
  } else if (m_state == DatasetState::Insert) {
    const int position = m_current;
    m_buffer.clear();
    m_changed.clear();
    emit aboutToRemoveRow(position);
    m_state = DatasetState::Browse;
    const int rows = static_cast<int>(m_order.size());
    m_current = std::min(position, rows - 1);
    m_bof = rows == 0;
    m_eof = rows == 0 || position >= rows;
    emit rowRemoved(position);
    emit stateChanged(m_state);
    emit currentChanged(m_current);
  }
}

void Dataset::remove() {
  requireActive();
  if (m_state == DatasetState::Insert) {
    cancel();
    return;
  }
  if (m_order.empty()) fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
  if (!canModify()) fail(QStringLiteral("Cannot modify a read-only dataset"));
  const std::uint32_t row = m_order[m_current];
  driver().deleteRow(m_store->info().table, m_store->bookmark(row), originalValues(row));
  m_buffer.clear();
  m_changed.clear();
  const int position = m_current;
  emit aboutToRemoveRow(position);
  m_order.erase(m_order.begin() + position);
  const int rows = static_cast<int>(m_order.size());
  m_current = std::min(position, rows - 1);
  m_bof = rows == 0;
  m_eof = rows == 0;
  emit rowRemoved(position);
  setState(DatasetState::Browse);
  emit currentChanged(m_current);
}

void Dataset::refresh() {
  requireActive();
  endEdit();
  // The current row is found again by its key, or by all its values.
  std::vector<std::pair<int, Cell>> identity;
  if (m_current >= 0) {
    std::vector<int> columns = m_store->info().key;
    if (columns.empty())
      for (int i = 0; i < fieldCount(); ++i) columns.push_back(i);
    for (int column : columns) identity.emplace_back(column, m_store->cell(m_order[m_current], column));
  }
  std::unique_ptr<RowStore> store = readRows();

  const std::vector<ColumnInfo>& before = m_store->info().columns;
  const std::vector<ColumnInfo>& after = store->info().columns;
  const bool sameColumns = std::equal(before.begin(), before.end(), after.begin(), after.end(),
                                      [](const ColumnInfo& a, const ColumnInfo& b) {
                                        return a.name == b.name && a.type == b.type;
                                      });
  emit aboutToReset();
  const int oldPosition = m_current;
  m_store = std::move(store);
  m_order.resize(m_store->rowCount());
  for (std::uint32_t i = 0; i < m_order.size(); ++i) m_order[i] = i;
  if (!sameColumns) buildFields();

  int position = -1;
  if (!identity.empty() && sameColumns) {
    for (std::uint32_t i = 0; i < m_order.size() && position < 0; ++i) {
      const bool same = std::all_of(identity.begin(), identity.end(), [&](const auto& value) {
        return m_store->cell(i, value.first) == value.second;
      });
      if (same) position = static_cast<int>(i);
    }
  }
  const int rows = static_cast<int>(m_order.size());
  if (position < 0) position = std::min(std::max(oldPosition, 0), rows - 1);
  m_current = position;
  m_bof = rows == 0;
  m_eof = rows == 0;
  emit rowsReset();
  emit currentChanged(m_current);
}

bool Dataset::locate(const QString& fieldName, const QString& text) {
  requireActive();
  endEdit();
  const Field& field = fieldByName(fieldName);
  const std::optional<int> found = locatePosition(*m_store, m_order, field.index(), text);
  if (!found) return false;
  moveTo(*found, false, false);
  return true;
}

Cell Dataset::cellAt(int position, int field) const {
  if (!active() || position < 0 || position >= recordCount() || field < 0 || field >= fieldCount()) return {};
  if ((m_state == DatasetState::Edit || m_state == DatasetState::Insert) && position == m_current) return m_buffer[field];
  if (m_state == DatasetState::Insert && position > m_current) --position;
  return m_store->cell(m_order[position], field);
}

bool Dataset::isNullAt(int position, int field) const { return isNull(cellAt(position, field)); }

QVariant Dataset::valueAt(int position, int field) const {
  if (field < 0 || field >= fieldCount()) return {};
  return variantFromCell(cellAt(position, field), m_fields[field]->column());
}

QString Dataset::textAt(int position, int field) const {
  QString text;
  if (!writeText(text, position, field)) return {};
  return text;
}

bool Dataset::writeText(QString& text, int position, int field) const {
  if (field < 0 || field >= fieldCount()) return false;
  // A row as it was read is written from the store, without a Cell between.
  if (m_state == DatasetState::Browse && position >= 0 && position < static_cast<int>(m_order.size()))
    return m_formatter->write(text, *m_store, m_order[position], field);
  const Cell cell = cellAt(position, field);
  if (isNull(cell)) return false;
  text = m_formatter->text(cell, m_fields[field]->column());
  return true;
}

Cell Dataset::currentCell(int field) const { return cellAt(m_current, field); }

void Dataset::setCurrentCell(int field, Cell value) {
  if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
    fail(QStringLiteral("Dataset not in edit or insert mode"));
  if (!m_fields.at(field)->canModify()) fail(QStringLiteral("Field '%1' cannot be modified").arg(m_fields[field]->name()));
  m_buffer[field] = std::move(value);
  m_changed[field] = true;
  emit rowChanged(m_current);
}

std::size_t Dataset::memoryUsed() const {
  return (m_store ? m_store->memoryUsed() : 0) + m_order.capacity() * sizeof(std::uint32_t);
}

}  // namespace tabrix
