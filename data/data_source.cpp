#include "data/data_source.h"

namespace tabrix {

DataSource::DataSource(QObject* parent) : QObject(parent) {}

void DataSource::setDataset(Dataset* dataset) {
  if (dataset == m_dataset) return;
  if (m_dataset) m_dataset->disconnect(this);
  m_dataset = dataset;
  if (dataset) {
    connect(dataset, &Dataset::stateChanged, this, [this](DatasetState state) {
      m_lastState = state;
      emit stateChanged(state);
    });
    connect(dataset, &Dataset::rowsReset, this, &DataSource::dataChanged);
    connect(dataset, &Dataset::rowInserted, this, &DataSource::dataChanged);
    connect(dataset, &Dataset::rowRemoved, this, &DataSource::dataChanged);
    connect(dataset, &Dataset::rowChanged, this, &DataSource::dataChanged);
    connect(dataset, &Dataset::currentChanged, this, &DataSource::currentChanged);
    // A dataset destroyed under the source leaves it inactive.
    connect(dataset, &QObject::destroyed, this, [this] {
      if (m_lastState != DatasetState::Inactive) {
        m_lastState = DatasetState::Inactive;
        emit stateChanged(m_lastState);
      }
    });
  }
  const DatasetState now = state();
  if (now != m_lastState) {
    m_lastState = now;
    emit stateChanged(now);
  }
  emit dataChanged();
}

DatasetState DataSource::state() const { return m_dataset ? m_dataset->state() : DatasetState::Inactive; }

bool DataSource::edit() {
  if (!m_dataset) return false;
  if (m_autoEdit && m_dataset->state() == DatasetState::Browse) m_dataset->edit();
  const DatasetState now = m_dataset->state();
  return now == DatasetState::Edit || now == DatasetState::Insert;
}

}  // namespace tabrix
