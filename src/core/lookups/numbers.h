#pragma once

// The service library's number helpers: rounding and the checks of typed numbers.

#include <string>

namespace servicelib {

// x rounded to n decimals, halves away from zero: the answer decimal arithmetic gives for the
// number as typed, at every size (2.675, stored as 2.67499999..., gives 2.68; 5000000 stays
// 5000000.00; 9999999999.995 gives 10000000000.00).
double rounddigits(double x, int n);
// Nearest integer, halves away from zero.
double round(double x);
double GetMinDouble(double a, double b, double c);
// A plain decimal number as a cashier types it: an optional sign, digits with at most one
// decimal point, at least one digit ("12", "-3.5", ".5", "7."). No blanks, no exponent.
bool NumericalCheck(const std::string& text);
// A NumericalCheck number with at most three decimals (money to the fen, weights to the gram).
bool DecimalCheck(const std::string& text);

}  // namespace servicelib
