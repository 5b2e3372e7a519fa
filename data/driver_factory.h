#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "data/connection.h"

namespace tabrix {

// The driver a connection string names: the system's ODBC driver registered
// under the name in Driver={...}, which gets the string's extended
// properties; else the built-in engine over the file DBQ names. Credentials
// from the login dialog take the place of the string's user name and
// password. ProviderError when neither can be made.
std::unique_ptr<Driver> makeDriver(const QString& connectionString, const std::optional<Credentials>& login);

}  // namespace tabrix
