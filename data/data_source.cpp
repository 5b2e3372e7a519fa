#include "data/data_source.h"

#include <utility>

namespace tabrix {

DataSource::DataSource(QObject* parent) : QObject(parent) {}

void DataSource::setDataset(Dataset* dataset) {
  if (dataset == m_dataset) return;
  emit aboutToReset();
  if (m_dataset) m_dataset->disconnect(this);
  m_dataset = dataset;
  if (dataset) {
    connect(dataset, &Dataset::stateChanged, this, [this](DatasetState state) {
      if (m_pendingRemoval >= 0) emit rowRemoved(std::exchange(m_pendingRemoval, -1));
      m_lastState = state;
      emit stateChanged(state);
    });
    connect(dataset, &Dataset::aboutToReset, this, &DataSource::aboutToReset);
    connect(dataset, &Dataset::rowsReset, this, &DataSource::rowsReset);
    connect(dataset, &Dataset::aboutToInsertRow, this, &DataSource::aboutToInsertRow);
    connect(dataset, &Dataset::rowInserted, this, &DataSource::rowInserted);
    connect(dataset, &Dataset::aboutToRemoveRow, this, &DataSource::aboutToRemoveRow);
    connect(dataset, &Dataset::rowRemoved, this, [this](int position) {
      // A row deleted while it was being edited is gone before the dataset
      // leaves the edit state, and its edited values with it: the removal is
      // passed on once it browses again, so that no control reads the
      // current row in between.
      if (m_dataset->state() == DatasetState::Edit)
        m_pendingRemoval = position;
      else
        emit rowRemoved(position);
    });
    connect(dataset, &Dataset::rowChanged, this, &DataSource::rowChanged);
    connect(dataset, &Dataset::currentChanged, this, &DataSource::currentChanged);
    // A dataset destroyed under the source leaves it inactive and empty.
    connect(dataset, &QObject::destroyed, this, [this] {
      emit aboutToReset();
      emit rowsReset();
      if (m_lastState != DatasetState::Inactive) {
        m_lastState = DatasetState::Inactive;
        emit stateChanged(m_lastState);
      }
    });
  }
  emit rowsReset();
  const DatasetState now = state();
  if (now != m_lastState) {
    m_lastState = now;
    emit stateChanged(now);
  }
}

DatasetState DataSource::state() const { return m_dataset ? m_dataset->state() : DatasetState::Inactive; }

bool DataSource::editing() const {
  const DatasetState now = state();
  return now == DatasetState::Edit || now == DatasetState::Insert;
}

bool DataSource::edit() {
  if (!m_dataset) return false;
  if (m_autoEdit && m_dataset->state() == DatasetState::Browse) m_dataset->edit();
  return editing();
}

void DataSource::updateRecord() {
  if (active()) emit recordUpdating();
}

}  // namespace tabrix
