#pragma once

// Number helpers: rounding and the checks of typed numbers.

#include <optional>
#include <string>

namespace lookups {

// x rounded to n decimals, halves away from zero: the answer decimal arithmetic gives for the
// number as typed, at every size (2.675, stored as 2.67499999..., gives 2.68; 5000000 stays
// 5000000.00; 9999999999.995 gives 10000000000.00).
double RoundTo(double x, int n);
// Nearest integer, halves away from zero.
double RoundWhole(double x);
// A plain decimal number as a cashier types it: an optional sign, digits with at most one
// decimal point, at least one digit ("12", "-3.5", ".5", "7."). No blanks, no exponent.
bool IsPlainNumber(const std::string& text);
// A plain number with at most three decimals (money to the fen, weights to the gram).
bool IsPlainNumberTo3Places(const std::string& text);

// What a till can hold: amounts (prices, tenders, petty cash) up to 9 999 999 999.99 in
// either sign, quantities and weights up to 99 999 999.
enum class TillNumber { kAmount, kQuantity };
inline constexpr double kMaxAmount = 9999999999.99;
inline constexpr double kMaxQuantity = 99999999;

// True for a finite value whose magnitude, rounded as the kind is kept (amounts to the fen,
// quantities to three decimals), stays within the kind's limit.
bool WithinTillRange(double value, TillNumber kind);
// A number a person typed, blanks around it ignored: IsPlainNumber and WithinTillRange, or
// nullopt. The value is as typed, not yet rounded.
std::optional<double> ReadTypedNumber(const std::string& text, TillNumber kind);
// The same, throwing kasso::UserError(refusal) (the field's own message) for a refused text.
double TypedNumber(const std::string& text, TillNumber kind, const std::string& refusal);

}  // namespace lookups
