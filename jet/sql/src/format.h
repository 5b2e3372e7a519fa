#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jet::sql {

// Format(): a value as text by a named format ("Short Date", "Fixed",
// "Percent", …) or a custom one ("yyyy-mm-dd", "#,##0.00", "0%", ">@").
// Named formats follow the conventions the engine uses everywhere: dates
// as yyyy-mm-dd, times as hh:nn:ss, "." before decimals and "," between
// thousands, no currency sign.
std::string formatNumber(double value, std::string_view format);
std::string formatDate(double days, std::string_view format);
std::string formatText(std::string_view text, std::string_view format);
// Whether a custom or named format is one for dates.
bool isDateFormat(std::string_view format);

}  // namespace jet::sql
