#pragma once

#include <QObject>
#include <QPointer>

#include "data/dataset.h"

namespace tabrix {

// Links a dataset to the controls bound to it: the state they see (inactive
// without a dataset), with a notice on each change, and the dataset's row
// and position notices passed on as they come, in pairs around each change,
// so that a grid can follow an edit without starting over. With automatic
// editing on (the default), a bound control calls edit() before it changes
// a value.
//
// A control that holds a value it has not yet written into the field (a
// cell editor, a memo) writes it when updateRecord() asks; whoever is about
// to post the row or move away from it calls updateRecord() first.
class DataSource : public QObject {
  Q_OBJECT

 public:
  explicit DataSource(QObject* parent = nullptr);

  Dataset* dataset() const { return m_dataset; }
  // Changing the dataset counts as a reset of every row.
  void setDataset(Dataset* dataset);

  DatasetState state() const;
  // Open: browsing, or a row being edited or inserted.
  bool active() const { return m_dataset && m_dataset->active(); }
  // A row is being edited or inserted.
  bool editing() const;

  bool autoEdit() const { return m_autoEdit; }
  void setAutoEdit(bool on) { m_autoEdit = on; }

  // Puts the current row into edit mode when automatic editing is on and the
  // dataset is browsing; true when a row is then being edited or inserted.
  bool edit();

  // Asks every bound control to write what it holds into the row; whatever
  // a control's write throws comes out of here.
  void updateRecord();

 signals:
  void stateChanged(tabrix::DatasetState state);
  // The dataset's own notices, forwarded (see Dataset).
  void aboutToReset();
  void rowsReset();
  void aboutToInsertRow(int position);
  void rowInserted(int position);
  void aboutToRemoveRow(int position);
  void rowRemoved(int position);
  void rowChanged(int position);
  void currentChanged(int position);
  // Bound controls write their pending values now.
  void recordUpdating();

 private:
  QPointer<Dataset> m_dataset;
  bool m_autoEdit = true;
  DatasetState m_lastState = DatasetState::Inactive;
  int m_pendingRemoval = -1;
};

}  // namespace tabrix
