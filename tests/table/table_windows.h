#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "data/connection.h"
#include "table/form_tablica.h"
#include "widgets/data_grid.h"
#include "widgets/grid_model.h"

// Table windows opened as "Edytuj tablice" opens them, over a connection of
// the test's own, owned by a stand-in for the main window.
class TableWindows {
 public:
  explicit TableWindows(const QString& connectionString) {
    m_connection.setObjectName("ADOConnection");
    m_connection.setConnectionString(connectionString);
    m_connection.open();
    m_owner.setGeometry(100, 100, 539, 158);
    m_owner.show();
  }

  tabrix::Connection& connection() { return m_connection; }
  QWidget& owner() { return m_owner; }

  // Opens a window and gives it, or nullptr when none opened.
  tabrix::TFormTablica* open(const QString& tableName) {
    const auto before = all().size();
    tabrix::TFormTablica::open(tableName, m_connection, &m_owner);
    const auto windows = all();
    if (windows.size() == before) return nullptr;
    tabrix::TFormTablica* window = windows.constLast();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    return window;
  }
  QList<tabrix::TFormTablica*> all() { return m_owner.findChildren<tabrix::TFormTablica*>(); }

 private:
  tabrix::Connection m_connection;
  QWidget m_owner;
};

// A window's control by its name.
template <typename T>
T* control(QWidget* window, const char* name) {
  T* found = window->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

// The centre of a grid's cell.
inline QPoint cellCentre(tabrix::DataGrid* grid, int row, int column) {
  return grid->visualRect(grid->gridModel().index(row, column)).center();
}

inline void clickCell(tabrix::DataGrid* grid, int row, int column) {
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, row, column));
}
