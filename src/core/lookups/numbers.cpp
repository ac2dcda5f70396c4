#include "core/lookups/numbers.h"

#include <algorithm>
#include <cmath>

namespace servicelib {
namespace {

// True when a scaled value lies within a few units in the last place of an exact half, as
// 2.675 * 100 = 267.49999999999997 does.
bool IsNearHalf(double scaled) {
  double half = std::floor(scaled) + 0.5;
  return std::fabs(scaled - half) <= 1e-9 * std::max(1.0, std::fabs(scaled));
}

bool MatchesNumber(const std::string& text, int max_decimals) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  int digits = 0;
  int decimals = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.') {
      if (point) return false;
      point = true;
    } else if (c >= '0' && c <= '9') {
      ++digits;
      if (point) ++decimals;
    } else {
      return false;
    }
  }
  return digits > 0 && (max_decimals < 0 || decimals <= max_decimals);
}

}  // namespace

double rounddigits(double x, int n) {
  if (!std::isfinite(x)) return x;
  double factor = std::pow(10.0, n);
  double scaled = std::fabs(x) * factor;
  double rounded = IsNearHalf(scaled) ? std::floor(scaled) + 1.0 : std::round(scaled);
  return std::copysign(rounded / factor, x) + 0.0;  // + 0.0 turns -0 into 0
}

double round(double x) { return rounddigits(x, 0); }

double GetMinDouble(double a, double b, double c) { return std::min({a, b, c}); }

bool NumericalCheck(const std::string& text) { return MatchesNumber(text, -1); }

bool DecimalCheck(const std::string& text) { return MatchesNumber(text, 3); }

}  // namespace servicelib
