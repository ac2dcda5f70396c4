#include "core/lookups/numbers.h"

#include <cmath>

#include "core/common/error.h"
#include "core/common/format.h"

namespace lookups {
namespace {

// Beyond this every double is a whole number: there is nothing left to round.
constexpr double kWholeNumbersOnly = 0x1p52;

}  // namespace

double RoundTo(double x, int n) {
  if (!std::isfinite(x)) return x;
  const double factor = std::pow(10.0, n);
  const double scaled = std::fabs(x) * factor;
  if (scaled >= kWholeNumbersOnly) return x;
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;  // exact
  // A decimal such as 2.675 is held a little off (2.67499999...) and the scaling adds its own
  // error; both stay within about one unit in the last place of the scaled value. A fraction
  // that close to a half is a half. The margin follows the value's own precision, so large
  // amounts keep their exact cents and small ones their halves.
  const double ulp = std::nextafter(scaled, kWholeNumbersOnly) - scaled;
  const double rounded = fraction + 4 * ulp >= 0.5 ? whole + 1 : whole;
  return std::copysign(rounded / factor, x) + 0.0;  // + 0.0 turns -0 into 0
}

double RoundWhole(double x) { return RoundTo(x, 0); }

bool IsPlainNumber(const std::string& text) { return kasso::IsPlainDecimal(text, -1); }

bool IsPlainNumberTo3Places(const std::string& text) { return kasso::IsPlainDecimal(text, 3); }

bool WithinTillRange(double value, TillNumber kind) {
  if (!std::isfinite(value)) return false;
  if (kind == TillNumber::kAmount) return std::fabs(RoundTo(value, 2)) <= kMaxAmount;
  return std::fabs(RoundTo(value, 3)) <= kMaxQuantity;
}

std::optional<double> ReadTypedNumber(const std::string& text, TillNumber kind) {
  const std::string number = kasso::Trim(text);
  if (!IsPlainNumber(number)) return std::nullopt;
  const double value = kasso::ParseNumber(number);
  if (!WithinTillRange(value, kind)) return std::nullopt;
  return value;
}

double TypedNumber(const std::string& text, TillNumber kind, const std::string& refusal) {
  std::optional<double> value = ReadTypedNumber(text, kind);
  if (!value) throw kasso::UserError(refusal);
  return *value;
}

}  // namespace lookups
