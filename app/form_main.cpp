#include "app/form_main.h"

#include <QCheckBox>
#include <QChildEvent>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

#include "app/connection_string.h"
#include "app/login_dialog.h"
#include "app/placeholder_windows.h"
#include "data/connection.h"
#include "settings/settings_store.h"
#include "settings/window_storage.h"
#include "table/form_tablica.h"
#include "widgets/designed_controls.h"
#include "widgets/dialogs.h"
#include "widgets/file_name_box.h"
#include "widgets/handler_guard.h"
#include "widgets/message_boxes.h"

namespace tabrix {

namespace {

const QString kPickTable = QStringLiteral("<wybierz tablice>");

// Lower-cases A to Z only, so that positions stay those of the original.
QString asciiLower(QString text) {
  for (QChar& c : text)
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + ('a' - 'A'));
  return text;
}

}  // namespace

FormMain::FormMain(QStringList arguments, const QString& settingsFile, QWidget* parent)
    : QWidget(parent),
      ADOConnection(new Connection(this)),
      JvAppIniFileStorage1(std::make_unique<SettingsStore>(settingsFile)),
      m_arguments(std::move(arguments)) {
  runHandler([this] { JvAppIniFileStorage1->Reload(); });

  setWindowTitle(QStringLiteral("Varnel 17.11.2014"));
  setFont(windowFont());
  resize(539, 158);

  // Controls are made in tab order: the focus chain follows creation, and so
  // the parts of the file-name box and of the editable table box stay with
  // their control.
  b_Close = button(QStringLiteral("b_Close"), QStringLiteral("Koniec"), 400, 24, 121, this);
  ComboBox_Tables = place(new QComboBox(this), QStringLiteral("ComboBox_Tables"), 8, 112, 249, 21);
  ComboBox_Tables->setEditable(true);
  ComboBox_Tables->setInsertPolicy(QComboBox::NoInsert);
  ComboBox_Tables->setEditText(kPickTable);
  b_OpenTable = button(QStringLiteral("b_OpenTable"), QStringLiteral("Edytuj tablice"), 272, 112, 113, this);
  fn = place(new FileNameBox(this), QStringLiteral("fn"), 8, 24, 249, 21);
  ed_PassWord = place(new QLineEdit(this), QStringLiteral("ed_PassWord"), 8, 61, 121, 21);
  bt_OpenBaza = button(QStringLiteral("bt_OpenBaza"), QStringLiteral("Otworz baze"), 272, 24, 113, this);
  bt_CloseBaza = button(QStringLiteral("bt_CloseBaza"), QStringLiteral("Zamknij baze"), 272, 56, 113, this);
  b_OpenSQL = button(QStringLiteral("b_OpenSQL"), QStringLiteral("SQL"), 400, 112, 121, this);
  chb_Prompt = place(new QCheckBox(QStringLiteral("Prompt"), this), QStringLiteral("chb_Prompt"), 135, 60, 74, 17);
  Label1 = label(QStringLiteral("Label1"), QStringLiteral("Baza danych"), 8, 8, this);
  LabelPass = label(QStringLiteral("LabelPass"), QStringLiteral("PassWord"), 10, 48, this);
  Label4 = label(QStringLiteral("Label4"), QStringLiteral("Tablica"), 8, 96, this);

  bt_CloseBaza->setEnabled(false);
  b_OpenTable->setEnabled(false);
  b_OpenSQL->setEnabled(false);
  b_Close->setFocus();

  setObjectName(QStringLiteral("FormMain"));
  FormStorage1 = std::make_unique<WindowStorage>(*this, JvAppIniFileStorage1.get(), QSize(537, 173));
  FormStorage1->setAppStoragePath(QStringLiteral("MAIN\\"));
  FormStorage1->setStoredProps({QStringLiteral("fn.FileName"), QStringLiteral("ed_PassWord.Text")});
  FormStorage1->setAfterRestorePlacement([this] { FormStorage1AfterRestorePlacement(); });

  ADOConnection->setObjectName(QStringLiteral("ADOConnection"));
  ADOConnection->setLoginHandler(askForLogin);

  connectHandler(b_Close, &QPushButton::clicked, this, &FormMain::b_CloseClick);
  connectHandler(bt_OpenBaza, &QPushButton::clicked, this, &FormMain::bt_OpenBazaClick);
  connectHandler(bt_CloseBaza, &QPushButton::clicked, this, &FormMain::bt_CloseBazaClick);
  connectHandler(chb_Prompt, &QCheckBox::toggled, this, &FormMain::chb_PromptClick);
  connectHandler(b_OpenTable, &QPushButton::clicked, this, &FormMain::b_OpenTableClick);
  connectHandler(b_OpenSQL, &QPushButton::clicked, this, &FormMain::b_OpenSQLClick);
}

FormMain::~FormMain() {
  destroyOwnedWindows();
  // This window's storage saves now unless closing the window did; the store
  // writes the file last.
  FormStorage1.reset();
  JvAppIniFileStorage1.reset();
}

void FormMain::childEvent(QChildEvent* event) {
  if (event->added()) m_owned.emplace_back(event->child());
  QWidget::childEvent(event);
}

void FormMain::destroyOwnedWindows() {
  for (auto owned = m_owned.rbegin(); owned != m_owned.rend(); ++owned) {
    auto* widget = qobject_cast<QWidget*>(owned->data());
    if (widget && widget->isWindow()) delete widget;
  }
}

void FormMain::closeEvent(QCloseEvent* event) {
  bool closed = false;
  runHandler([&] {
    FormClose();
    closed = true;
  });
  event->setAccepted(closed);
}

void FormMain::b_CloseClick() { close(); }

void FormMain::FormClose() {
  if (ADOConnection->connected()) ADOConnection->close();
}

void FormMain::FormStorage1AfterRestorePlacement() {
  if (m_arguments.size() != 1) return;
  const QString& argument = m_arguments.constFirst();
  if (asciiLower(argument).indexOf(QLatin1String(".mdb")) > 0) fn->setFileName(argument);
}

void FormMain::bt_OpenBazaClick() {
  const QString fileName = fn->fileName();
  if (!QFileInfo(fileName).isFile()) {
    dialogs().beep();
    fn->setFocus();
    return;
  }
  ADOConnection->setConnectionString(connectionString(ed_PassWord->text(), fileName));
  try {
    bt_OpenBaza->setEnabled(false);
    ADOConnection->open();
    listTables();
    b_OpenTable->setEnabled(true);
    bt_CloseBaza->setEnabled(true);
    b_OpenSQL->setEnabled(true);
    // "Otworz baze" gave its focus away as it was disabled; the tables are
    // what comes next.
    ComboBox_Tables->setFocus();
  } catch (const std::exception& error) {
    bt_OpenBaza->setEnabled(true);
    bt_OpenBaza->setFocus();
    showMessage(QStringLiteral("Błąd otwarcia Bazy !\r") + errorText(error));
  }
}

void FormMain::listTables() {
  const std::vector<CatalogueRow> rows = ADOConnection->catalogue();
  QStringList names;
  for (const CatalogueRow& row : rows)
    if (row.type == QLatin1String("TABLE") || row.type == QLatin1String("VIEW")) names << row.name;

  // One update of the box; its edit text is not the list's business.
  const QString text = ComboBox_Tables->currentText();
  ComboBox_Tables->setUpdatesEnabled(false);
  const auto updated = qScopeGuard([this] { ComboBox_Tables->setUpdatesEnabled(true); });
  ComboBox_Tables->clear();
  ComboBox_Tables->addItems(names);
  ComboBox_Tables->setCurrentIndex(-1);
  ComboBox_Tables->setEditText(text);
}

void FormMain::bt_CloseBazaClick() {
  try {
    ADOConnection->close();
    bt_OpenBaza->setEnabled(true);
    // Before "Zamknij baze" is disabled, so that it doesn't hand its focus on.
    bt_OpenBaza->setFocus();
    bt_CloseBaza->setEnabled(false);
    b_OpenTable->setEnabled(false);
    b_OpenSQL->setEnabled(false);
    ComboBox_Tables->clear();
    ComboBox_Tables->setEditText(kPickTable);
  } catch (const std::exception&) {
    // A failed disconnect is not reported; the window keeps showing the link.
  }
}

void FormMain::chb_PromptClick() {
  const bool prompt = chb_Prompt->isChecked();
  ed_PassWord->setEnabled(!prompt);
  LabelPass->setEnabled(!prompt);
  ADOConnection->setLoginPrompt(prompt);
}

void FormMain::b_OpenTableClick() { TFormTablica::open(ComboBox_Tables->currentText(), *ADOConnection, this); }

void FormMain::b_OpenSQLClick() {
  try {
    auto* window = new SqlWindowPlaceholder(this);
    for (int i = 0; i < ComboBox_Tables->count(); ++i) window->cb_Tablice->addItem(ComboBox_Tables->itemText(i));
    window->show();
  } catch (const std::exception&) {
    // Opening an SQL window fails without a message.
  }
}

}  // namespace tabrix
