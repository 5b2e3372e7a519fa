#pragma once

#include <QStringView>
#include <optional>

namespace tabrix {

// A decimal integer as the settings file holds it: an optional sign, then
// digits, within 32 bits. Nothing for any other text, the empty one included.
std::optional<int> parseInteger(QStringView text);

}  // namespace tabrix
