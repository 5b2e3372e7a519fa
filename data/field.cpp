#include "data/field.h"

#include "data/dataset.h"
#include "data/errors.h"
#include "data/value_parse.h"
#include "data/value_text.h"

namespace tabrix {

Field::Field(Dataset& dataset, int index, const ColumnInfo& column, const QString& name)
    : m_dataset(dataset), m_index(index), m_column(column), m_name(name), m_displayWidth(defaultDisplayWidth(column)) {}

bool Field::canModify() const {
  return m_dataset.active() && !m_column.baseColumn.isEmpty() && !m_column.autoIncrement;
}

bool Field::isNull() const { return tabrix::isNull(m_dataset.currentCell(m_index)); }

QVariant Field::value() const { return variantFromCell(m_dataset.currentCell(m_index), m_column); }

QString Field::text() const {
  if (!m_dataset.writeText(m_text, m_dataset.position(), m_index)) return {};
  return m_text;
}

void Field::setValue(const QVariant& value) {
  Cell cell;
  try {
    cell = cellFromVariant(value, m_column);
  } catch (const ValueError& e) {
    m_dataset.fail(QString::fromUtf8(e.what()));
  }
  m_dataset.setCurrentCell(m_index, std::move(cell));
}

void Field::setText(const QString& text) {
  Cell cell;
  try {
    cell = parseValue(text, m_column);
  } catch (const ValueError& e) {
    m_dataset.fail(QString::fromUtf8(e.what()));
  }
  m_dataset.setCurrentCell(m_index, std::move(cell));
}

void Field::clear() { m_dataset.setCurrentCell(m_index, Cell()); }

}  // namespace tabrix
