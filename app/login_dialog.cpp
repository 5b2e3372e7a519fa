#include "app/login_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/designed_controls.h"
#include "widgets/dialogs.h"

namespace tabrix {

namespace {

constexpr int kMaxLength = 31;

QLineEdit* edit(const QString& name, int left, int top, QWidget* parent) {
  auto* result = new QLineEdit(parent);
  result->setObjectName(name);
  result->setGeometry(left, top, 153, 21);
  result->setMaxLength(kMaxLength);
  return result;
}

}  // namespace

LoginDialog::LoginDialog(const QString& databaseName, const QString& userName, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Database Login"));
  setFont(windowFont());
  setFixedSize(283, 147);

  // The panel: a lowered outer bevel around a raised inner one.
  auto* panel = new QFrame(this);
  panel->setGeometry(8, 7, 267, 98);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* inner = new QFrame(panel);
  inner->setGeometry(1, 1, 265, 96);
  inner->setFrameStyle(QFrame::Panel | QFrame::Raised);

  label({}, QStringLiteral("Database:"), 10, 6, panel);
  label(QStringLiteral("DatabaseName"), databaseName, 106, 6, panel);
  auto* line = new QFrame(panel);
  line->setGeometry(2, 27, 263, 2);
  line->setFrameStyle(QFrame::HLine | QFrame::Sunken);

  auto* fields = new QWidget(panel);
  fields->setGeometry(2, 31, 263, 65);
  m_userName = edit(QStringLiteral("UserName"), 101, 5, fields);
  m_userName->setText(userName);
  m_password = edit(QStringLiteral("Password"), 101, 33, fields);
  m_password->setEchoMode(QLineEdit::Password);
  m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
  label({}, QStringLiteral("&User Name:"), 8, 8, fields)->setBuddy(m_userName);
  label({}, QStringLiteral("&Password:"), 8, 36, fields)->setBuddy(m_password);

  auto* ok = button(QStringLiteral("OKButton"), QStringLiteral("&OK"), 119, 114, 75, this);
  ok->setDefault(true);
  auto* cancel = button(QStringLiteral("CancelButton"), QStringLiteral("Cancel"), 200, 114, 75, this);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  (userName.isEmpty() ? m_userName : m_password)->setFocus();
}

QString LoginDialog::userName() const { return m_userName->text(); }

QString LoginDialog::password() const { return m_password->text(); }

std::optional<Credentials> askForLogin(const QString& connectionName, const QString& userName) {
  LoginDialog dialog(connectionName, userName);
  if (dialogs().exec(dialog) != QDialog::Accepted) return std::nullopt;
  return Credentials{dialog.userName(), dialog.password()};
}

}  // namespace tabrix
