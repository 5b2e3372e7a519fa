#pragma once

#include <QString>

namespace tabrix {

// The folder of a file name: everything up to and including its last "/",
// "\" or ":" (so "C:\x.mdb" gives "C:\" and "/data/x.mdb" gives "/data/");
// empty when there is none.
QString connectionFolder(const QString& fileName);

// The connection string for a database file, with the password as typed.
// Both values go in as they are, without quoting or escaping: a ";" in the
// password ends its value early, and the driver reports what follows.
QString connectionString(const QString& password, const QString& fileName);

}  // namespace tabrix
