#pragma once

#include <QObject>
#include <QPointer>

#include "data/dataset.h"

namespace tabrix {

// Links a dataset to the controls bound to it: the state they see (inactive
// without a dataset), with a notice on each change, and the dataset's row
// and position notices passed on. With automatic editing on (the default),
// a bound control calls edit() before it changes a value.
class DataSource : public QObject {
  Q_OBJECT

 public:
  explicit DataSource(QObject* parent = nullptr);

  Dataset* dataset() const { return m_dataset; }
  void setDataset(Dataset* dataset);

  DatasetState state() const;

  bool autoEdit() const { return m_autoEdit; }
  void setAutoEdit(bool on) { m_autoEdit = on; }

  // Puts the current row into edit mode when automatic editing is on and the
  // dataset is browsing; true when a row is then being edited or inserted.
  bool edit();

 signals:
  void stateChanged(tabrix::DatasetState state);
  // Rows or values changed: anything a grid must redraw.
  void dataChanged();
  void currentChanged(int position);

 private:
  QPointer<Dataset> m_dataset;
  bool m_autoEdit = true;
  DatasetState m_lastState = DatasetState::Inactive;
};

}  // namespace tabrix
