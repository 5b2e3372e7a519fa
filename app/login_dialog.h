#pragma once

#include <QDialog>
#include <QString>
#include <optional>

#include "data/connection.h"

class QLineEdit;

namespace tabrix {

// "Database Login": the user name and password for one connect. Both boxes
// take at most 31 characters; the focus starts in the password box, or in
// the user-name box when no user name came in. OK answers Enter, Cancel Esc.
class LoginDialog : public QDialog {
  Q_OBJECT

 public:
  LoginDialog(const QString& databaseName, const QString& userName, QWidget* parent = nullptr);

  QString userName() const;
  QString password() const;

 private:
  QLineEdit* m_userName;
  QLineEdit* m_password;
};

// Runs the login dialog through the dialog seam: the typed credentials, or
// nothing when it was cancelled or closed. Made to be a connection's login
// handler.
std::optional<Credentials> askForLogin(const QString& connectionName, const QString& userName);

}  // namespace tabrix
