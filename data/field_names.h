#pragma once

#include <QString>
#include <vector>

namespace tabrix {

// The names fields get from their columns' names: an unnamed column becomes
// "COLUMN%d", and a name an earlier field already has becomes "%s_%d", %d
// counting up from 1 to the first name not yet taken. Names compare without
// regard to case.
std::vector<QString> fieldNames(const std::vector<QString>& columnNames);

}  // namespace tabrix
