#pragma once

#include <QDialog>
#include <QString>

#include "widgets/memo_file.h"

class QFrame;
class QPushButton;

namespace tabrix {

class DataMemo;
class DataNavigator;
class DataSource;

// The memo editor: the text of one long column of a table window's current
// row, edited in a memo control under "czytaj" (load a text file),
// "zapisz" (save to one), an Edit/Post/Cancel navigator and "zamknij". Its
// memo and navigator are bound to the table window's data source, so they
// share that window's row and its edit. Closing it posts nothing and
// cancels nothing.
class TFormMemo : public QDialog {
  Q_OBJECT

 public:
  // Opens a memo editor for the field of that name over `owner`, modal for
  // the whole program, and destroys it once closed. Any failure to make or
  // show it is dropped without a message.
  static void open(QWidget& owner, DataSource& source, const QString& tableName, const QString& fieldName);

  // Hidden, captioned "memo: table [ field ]", its memo bound to the field.
  TFormMemo(DataSource& source, const QString& tableName, const QString& fieldName, QWidget* owner);
  ~TFormMemo() override;

 private:
  void bb_LoadClick();
  void bb_SaveClick();

  QFrame* PanelSter;
  QPushButton* bb_Load;
  QPushButton* bb_Save;
  QPushButton* bb_zamknij;
  DataNavigator* DBNavigatorMemo;
  QFrame* PanelMain;
  DataMemo* DBMemo;
  // What the file dialogs offer next; empty in every new memo editor.
  QString m_openFileName;
  QString m_saveFileName;
  MemoFile m_file;
};

}  // namespace tabrix
