#pragma once

#include <QWidget>

class QComboBox;

namespace tabrix {

// Stand-ins for the table window and the SQL window until they exist: each
// press of "Edytuj tablice" or "SQL" opens one, owned by the main window.

// Names the table it would edit.
class TableWindowPlaceholder : public QWidget {
  Q_OBJECT

 public:
  TableWindowPlaceholder(const QString& tableName, QWidget* owner);
};

// Holds the copy of the main window's table list it was given.
class SqlWindowPlaceholder : public QWidget {
  Q_OBJECT

 public:
  explicit SqlWindowPlaceholder(QWidget* owner);

  QComboBox* cb_Tablice;
};

}  // namespace tabrix
