#pragma once

#include <QString>
#include <string_view>

namespace ui {

// The screens' one way to show a number: a fixed count of decimals, as "%.2f" or "%.3f" would.
QString FormatFixed(double value, int decimals);

// Money and rates: two decimals.
QString FormatMoney(double value);

// Weighed quantities: three decimals.
QString FormatWeight(double value);

// A text from core (UTF-8) as the screens show it.
QString Utf8(std::string_view text);

}  // namespace ui
