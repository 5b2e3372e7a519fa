#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "app/form_main.h"
#include "widgets/file_name_box.h"

// A main window made and driven the way a user meets it: its controls found
// by name.
class MainWindow {
 public:
  // Makes the window; `storedFileName` stands for the file name the settings
  // would restore. Not shown yet.
  explicit MainWindow(QStringList arguments = {}, const QString& storedFileName = {})
      : m_form(std::make_unique<tabrix::FormMain>(std::move(arguments))) {
    fn()->setText(storedFileName);
  }
  // Makes the window of a run that keeps its settings in `settingsFile`.
  MainWindow(const QString& settingsFile, QStringList arguments)
      : m_form(std::make_unique<tabrix::FormMain>(std::move(arguments), settingsFile)) {}

  // The end of the run: the window goes, with every window it owns, and the
  // settings file is written.
  void end() { m_form.reset(); }

  // Shows the window and waits until it is active.
  void show() {
    m_form->show();
    m_form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
  }

  tabrix::FormMain& form() { return *m_form; }
  template <typename T>
  T* find(const char* name) {
    T* control = m_form->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  tabrix::FileNameBox* fn() { return find<tabrix::FileNameBox>("fn"); }
  QLineEdit* password() { return find<QLineEdit>("ed_PassWord"); }
  QLabel* passwordLabel() { return find<QLabel>("LabelPass"); }
  QCheckBox* prompt() { return find<QCheckBox>("chb_Prompt"); }
  QComboBox* tables() { return find<QComboBox>("ComboBox_Tables"); }
  QPushButton* openBase() { return find<QPushButton>("bt_OpenBaza"); }
  QPushButton* closeBase() { return find<QPushButton>("bt_CloseBaza"); }
  QPushButton* openTable() { return find<QPushButton>("b_OpenTable"); }
  QPushButton* quit() { return find<QPushButton>("b_Close"); }
  QPushButton* openSql() { return find<QPushButton>("b_OpenSQL"); }

  QStringList tableList() {
    QStringList names;
    for (int i = 0; i < tables()->count(); ++i) names << tables()->itemText(i);
    return names;
  }

  // The enabled state of the four buttons whose state follows the link:
  // "Otworz baze", "Zamknij baze", "Edytuj tablice", "SQL".
  std::vector<bool> linkButtons() {
    return {openBase()->isEnabled(), closeBase()->isEnabled(), openTable()->isEnabled(), openSql()->isEnabled()};
  }
  static std::vector<bool> disconnected() { return {true, false, false, false}; }
  static std::vector<bool> connected() { return {false, true, true, true}; }

 private:
  std::unique_ptr<tabrix::FormMain> m_form;
};
