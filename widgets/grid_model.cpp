#include "widgets/grid_model.h"

#include "data/data_source.h"
#include "data/dataset.h"
#include "data/field.h"

namespace tabrix {

QString typeLabel(const Field& field, bool isNull) {
  QString name;
  switch (field.dataType()) {
    case DataType::LongVarWChar: name = QStringLiteral("WideMemo"); break;
    case DataType::LongVarBinary: name = QStringLiteral("Blob"); break;
    default: name = QStringLiteral("Memo"); break;
  }
  const QString label = QStringLiteral("(%1)").arg(name);
  return isNull ? label : label.toUpper();
}

namespace {

bool isNumber(DataType type) {
  switch (valueKind(type)) {
    case ValueKind::Integer:
    case ValueKind::Real:
    case ValueKind::Currency:
      return true;
    default:
      return isDecimalType(type);
  }
}

}  // namespace

GridModel::GridModel(DataSource& source, QObject* parent) : QAbstractTableModel(parent), m_source(source) {
  connect(&source, &DataSource::aboutToReset, this, [this] { beginResetModel(); });
  connect(&source, &DataSource::rowsReset, this, [this] {
    endResetModel();
    m_markedRow = -1;
    moveMark();
  });
  connect(&source, &DataSource::aboutToInsertRow, this, [this](int position) { beginInsertRows({}, position, position); });
  connect(&source, &DataSource::rowInserted, this, &GridModel::rowInserted);
  connect(&source, &DataSource::aboutToRemoveRow, this, [this](int position) { beginRemoveRows({}, position, position); });
  connect(&source, &DataSource::rowRemoved, this, &GridModel::rowRemoved);
  connect(&source, &DataSource::rowChanged, this, [this](int position) {
    if (position >= 0 && position < rowCount()) emit dataChanged(index(position, 0), index(position, columnCount() - 1));
  });
  connect(&source, &DataSource::currentChanged, this, &GridModel::moveMark);
  connect(&source, &DataSource::stateChanged, this, [this] {
    // The mark's kind follows the state; the row stays.
    if (m_markedRow >= 0) emit headerDataChanged(Qt::Vertical, m_markedRow, m_markedRow);
    moveMark();
  });
}

void GridModel::rowInserted(int position) {
  endInsertRows();
  if (m_markedRow >= position) ++m_markedRow;
  moveMark();
}

void GridModel::rowRemoved(int position) {
  endRemoveRows();
  if (m_markedRow == position)
    m_markedRow = -1;
  else if (m_markedRow > position)
    --m_markedRow;
  moveMark();
}

Dataset* GridModel::openDataset() const {
  Dataset* dataset = m_source.dataset();
  return dataset && dataset->active() ? dataset : nullptr;
}

Field* GridModel::field(int column) const {
  Dataset* dataset = openDataset();
  if (!dataset || column < 0 || column >= dataset->fieldCount()) return nullptr;
  return &dataset->field(column);
}

int GridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  Dataset* dataset = openDataset();
  return dataset ? dataset->recordCount() : 0;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  Dataset* dataset = openDataset();
  return dataset ? dataset->fieldCount() : 0;
}

bool GridModel::inRange(const QModelIndex& index) const {
  return index.isValid() && index.model() == this && index.row() < rowCount() && index.column() < columnCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!inRange(index)) return {};
  const Field* shown = field(index.column());
  if (!shown) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
      const Dataset& dataset = shown->dataset();
      if (shown->isLargeObject()) return typeLabel(*shown, dataset.isNullAt(index.row(), index.column()));
      return dataset.textAt(index.row(), index.column());
    }
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter | (isNumber(shown->dataType()) ? Qt::AlignRight : Qt::AlignLeft));
    default:
      return {};
  }
}

GridModel::RowMark GridModel::markOf(int row) const {
  Dataset* dataset = openDataset();
  if (!dataset || row != dataset->position()) return RowMark::None;
  switch (dataset->state()) {
    case DatasetState::Edit: return RowMark::Edited;
    case DatasetState::Insert: return RowMark::Inserted;
    default: return RowMark::Current;
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal) {
    const Field* titled = field(section);
    if (!titled) return {};
    if (role == Qt::DisplayRole) return titled->name();
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
  }
  if (role == RowMarkRole && section >= 0 && section < rowCount()) return QVariant::fromValue(static_cast<int>(markOf(section)));
  return {};
}

void GridModel::moveMark() {
  Dataset* dataset = openDataset();
  const int row = dataset && dataset->position() < rowCount() ? dataset->position() : -1;
  if (row == m_markedRow) return;
  const int before = m_markedRow;
  m_markedRow = row;
  if (before >= 0 && before < rowCount()) emit headerDataChanged(Qt::Vertical, before, before);
  if (row >= 0) emit headerDataChanged(Qt::Vertical, row, row);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!inRange(index)) return Qt::NoItemFlags;
  // Every cell opens its editor; cellEditable() says whether it takes input.
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool GridModel::cellEditable(const QModelIndex& index) const {
  const Field* edited = field(index.column());
  if (!edited || !inRange(index)) return false;
  const Dataset& dataset = edited->dataset();
  return index.row() == dataset.position() && dataset.canModify() && edited->canModify() && !edited->isLargeObject();
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !m_source.editing() || !cellEditable(index)) return false;
  field(index.column())->setText(value.toString());
  return true;
}

}  // namespace tabrix
