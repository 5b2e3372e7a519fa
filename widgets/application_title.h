#pragma once

#include <QString>

namespace tabrix {

// The title of the program's boxes, made from the executable's file name:
// without its folder and without everything from its first ".", the first
// character as it stands and every other one in lower case ("TABRIX.EXE" →
// "Tabrix", "tabrix" → "tabrix").
QString applicationTitle(const QString& executablePath);
// The title of this program.
QString applicationTitle();

}  // namespace tabrix
