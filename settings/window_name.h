#pragma once

#include <QString>

namespace tabrix {

// The name for a new window of a kind that may be open many times: `base`
// when no window of the program, shown or hidden, bears it (compared
// without regard to case), else `base` followed by "_1", "_2", …, the first
// that none bears.
QString uniqueWindowName(const QString& base);

}  // namespace tabrix
