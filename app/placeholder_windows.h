#pragma once

#include <QWidget>

class QComboBox;

namespace tabrix {

// A stand-in for the SQL window until it exists: each press of "SQL" opens
// one, owned by the main window. It holds the copy of the main window's
// table list it was given.
class SqlWindowPlaceholder : public QWidget {
  Q_OBJECT

 public:
  explicit SqlWindowPlaceholder(QWidget* owner);

  QComboBox* cb_Tablice;
};

}  // namespace tabrix
