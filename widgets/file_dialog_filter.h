#pragma once

#include <QString>
#include <QStringList>

namespace tabrix {

// Turns a filter written as "description|patterns|description|patterns"
// into Qt's name filters, one "description (patterns)" per pair, in order.
// Patterns separated by ";" become separated by blanks, and "*.*" becomes "*"
// because here a file name need not contain a dot. A description without its
// patterns at the end is dropped.
QStringList qtNameFilters(const QString& filter);

}  // namespace tabrix
