#pragma once

#include <string>

namespace common {

// A number written with a fixed count of decimals, as "%.2f" or "%.3f" would.
std::string Fixed(double value, int decimals);

// "%.2f": money and rates.
inline std::string Money(double value) { return Fixed(value, 2); }

// Removes blanks (spaces, tabs, line ends) from both ends.
std::string Trim(const std::string& text);

// ASCII letters in lower case; other bytes (UTF-8 included) unchanged.
std::string ToLower(std::string text);

// Reads a plain decimal; empty or unreadable text reads as 0.
double ParseNumber(const std::string& text);

// A plain decimal number as a person types it: an optional sign, digits with at most one
// decimal point, at least one digit ("12", "-3.5", ".5", "7."), and no more than max_decimals
// decimals unless that is negative. No blanks, no exponent.
bool IsPlainDecimal(const std::string& text, int max_decimals = -1);

}  // namespace common
