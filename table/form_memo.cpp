#include "table/form_memo.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QPushButton>
#include <QStyle>
#include <memory>

#include "widgets/centre_over.h"
#include "widgets/data_memo.h"
#include "widgets/data_navigator.h"
#include "widgets/designed_controls.h"
#include "widgets/dialogs.h"
#include "widgets/handler_guard.h"
#include "widgets/minimum_outer_size.h"

namespace tabrix {

namespace {

QPushButton* pictureButton(const QString& name, const QString& text, QStyle::StandardPixmap picture, int left,
                           QWidget* parent) {
  QPushButton* result = button(name, text, left, 8, 75, parent);
  result->setIcon(result->style()->standardIcon(picture));
  return result;
}

}  // namespace

void TFormMemo::open(QWidget& owner, DataSource& source, const QString& tableName, const QString& fieldName) {
  std::unique_ptr<TFormMemo> editor;
  try {
    editor = std::make_unique<TFormMemo>(source, tableName, fieldName, &owner);
    centreOver(*editor, &owner);
    dialogs().exec(*editor);
  } catch (const std::exception&) {
    // The memo editor fails without a message; the table window is as it was.
  }
}

TFormMemo::TFormMemo(DataSource& source, const QString& tableName, const QString& fieldName, QWidget* owner)
    : QDialog(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                         Qt::WindowCloseButtonHint),
      DBMemo(new DataMemo(source, this)),
      m_file(*DBMemo) {
  setFont(windowFont());
  resize(520, 360);
  setWindowTitle(QStringLiteral("memo: %1 [ %2 ]").arg(tableName, fieldName));
  setSizeGripEnabled(false);

  // Made in tab order: "czytaj", "zapisz", "zamknij", the memo.
  PanelSter = panel(QStringLiteral("PanelSter"), this);
  bb_Load = pictureButton(QStringLiteral("bb_Load"), QStringLiteral("czytaj"), QStyle::SP_DialogOpenButton, 8, PanelSter);
  bb_Save = pictureButton(QStringLiteral("bb_Save"), QStringLiteral("zapisz"), QStyle::SP_DialogSaveButton, 200, PanelSter);
  bb_zamknij =
      pictureButton(QStringLiteral("bb_zamknij"), QStringLiteral("zamknij"), QStyle::SP_DialogCloseButton, 304, PanelSter);
  DBNavigatorMemo = place(new DataNavigator(source, {NavigatorButton::Edit, NavigatorButton::Post, NavigatorButton::Cancel},
                                            PanelSter),
                          QStringLiteral("DBNavigatorMemo"), 88, 8, 87, 25);
  PanelMain = panel(QStringLiteral("PanelMain"), this);
  DBMemo->setParent(PanelMain);
  DBMemo->setObjectName(QStringLiteral("DBMemo"));
  DBMemo->setFieldName(fieldName);

  stackPanels(*this, *PanelSter, 41, *PanelMain, *DBMemo, 5);

  setTabOrder(bb_Load, bb_Save);
  setTabOrder(bb_Save, bb_zamknij);
  setTabOrder(bb_zamknij, DBMemo);

  keepMinimumOuterSize(*this, QSize(397, 166));
  bb_Load->setFocus();

  connectHandler(bb_Load, &QPushButton::clicked, this, &TFormMemo::bb_LoadClick);
  connectHandler(bb_Save, &QPushButton::clicked, this, &TFormMemo::bb_SaveClick);
  connect(bb_zamknij, &QPushButton::clicked, this, &QDialog::reject);
}

TFormMemo::~TFormMemo() = default;

void TFormMemo::bb_LoadClick() {
  FileDialogSetup setup;
  setup.title = QStringLiteral("Co odczytać ?");
  setup.filter = QStringLiteral("Pliki tekstowe|*.txt|Wszystkie pliki|*.*");
  setup.fileName = m_openFileName;
  setup.fileMustExist = true;
  const QString chosen = dialogs().openFileName(setup);
  if (chosen.isEmpty()) return;
  m_openFileName = chosen;
  try {
    m_file.load(chosen);
  } catch (const std::exception&) {
    // A file that can't be read leaves the memo as it was, without a word.
  }
}

void TFormMemo::bb_SaveClick() {
  FileDialogSetup setup;
  setup.title = QStringLiteral("Gdzie zapisać ?");
  setup.filter = QStringLiteral("Pliki tekstowe|*.txt|Dowolny plik|*.*");
  setup.fileName = m_saveFileName;
  setup.defaultExtension = QStringLiteral("txt");
  setup.createPrompt = true;
  const QString chosen = dialogs().saveFileName(setup);
  if (chosen.isEmpty()) return;
  m_saveFileName = chosen;
  QDir::setCurrent(QFileInfo(chosen).absolutePath());
  try {
    m_file.save(chosen);
  } catch (const std::exception&) {
    // A file that can't be written is not reported.
  }
}

}  // namespace tabrix
