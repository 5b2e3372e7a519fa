#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tabrix {

class Connection;
class FileNameBox;

// The main window: the inputs of the one database connection, the buttons
// that connect and disconnect, the table list, and the buttons that open the
// table and SQL windows. It owns the connection every other window uses;
// closing it closes the connection and ends the program.
//
// The controls carry the names the behaviour is written with, as members and
// object names. `arguments` are the command-line arguments without the
// program's own path; the first showing applies them.
class FormMain : public QWidget {
  Q_OBJECT

 public:
  explicit FormMain(QStringList arguments = {}, QWidget* parent = nullptr);
  ~FormMain() override;

  Connection& connection() const { return *ADOConnection; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

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

  QStringList m_arguments;
  bool m_shown = false;
};

}  // namespace tabrix
