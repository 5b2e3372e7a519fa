#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tabrix {

class Connection;
class FileNameBox;
class SettingsStore;
class WindowStorage;

// The main window: the inputs of the one database connection, the buttons
// that connect and disconnect, the table list, and the buttons that open the
// table and SQL windows. It owns the connection every other window uses;
// closing it closes the connection and ends the program.
//
// It owns the settings store too: the settings file is read as the window
// is made and written as it goes, after every window it owns has gone (the
// most recent first) and saved its own section.
//
// The controls carry the names the behaviour is written with, as members and
// object names. `arguments` are the command-line arguments without the
// program's own path; the first showing applies them, after the stored
// values. `settingsFile` empty: a store without a file.
class FormMain : public QWidget {
  Q_OBJECT

 public:
  explicit FormMain(QStringList arguments = {}, const QString& settingsFile = {}, QWidget* parent = nullptr);
  ~FormMain() override;

  Connection& connection() const { return *ADOConnection; }
  // The store every window storage of the program binds to.
  SettingsStore& settingsStore() const { return *JvAppIniFileStorage1; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void childEvent(QChildEvent* event) override;

 private:
  void b_CloseClick();
  void FormClose();
  void FormStorage1AfterRestorePlacement();
  void bt_OpenBazaClick();
  void bt_CloseBazaClick();
  void chb_PromptClick();
  void b_OpenTableClick();
  void b_OpenSQLClick();

  void listTables();
  void destroyOwnedWindows();

  // Every object given this window as its parent, in the order they came;
  // first of the members, as the members' own objects come among them.
  std::vector<QPointer<QObject>> m_owned;

  QLabel* Label1 = nullptr;
  FileNameBox* fn = nullptr;
  QLabel* LabelPass = nullptr;
  QLineEdit* ed_PassWord = nullptr;
  QCheckBox* chb_Prompt = nullptr;
  QLabel* Label4 = nullptr;
  QComboBox* ComboBox_Tables = nullptr;
  QPushButton* bt_OpenBaza = nullptr;
  QPushButton* bt_CloseBaza = nullptr;
  QPushButton* b_OpenTable = nullptr;
  QPushButton* b_Close = nullptr;
  QPushButton* b_OpenSQL = nullptr;
  Connection* ADOConnection;
  std::unique_ptr<SettingsStore> JvAppIniFileStorage1;
  std::unique_ptr<WindowStorage> FormStorage1;

  QStringList m_arguments;
};

}  // namespace tabrix
