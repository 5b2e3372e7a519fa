#pragma once

#include <QString>

namespace tabrix {

// The title of the program's boxes, made from the executable's file name:
// without its folder and without everything from its first ".", the first
// character in upper case and every other one in lower case ("tabrix" →
// "Tabrix"; executables here are named in lower case).
QString applicationTitle(const QString& executablePath);
// The title of this program.
QString applicationTitle();

}  // namespace tabrix
