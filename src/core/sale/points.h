#pragma once

// The points a member earns on a bill. The sale commit credits them and the receipt shows
// them, so both use this one rule.

namespace sale {

struct PointsInput {
  double points_base = 0;   // amount of the lines whose goods give points
  double total_amount = 0;  // amount of all lines
  double received = 0;      // cash + stored value + cheque + card - change
  int base_value = 0;       // settings: every whole multiple of this earns ...
  int points_value = 0;     // ... this many points; base 0 keeps the raw proportion
};

// received shared out by the points base: (points_base / total_amount) * received, 0 for a
// bill without amount. With a base value, only whole multiples of it count:
// (whole part / base) * points value, in whole multiples. Negative for a refund (the points it
// takes back). Rounded to two decimals (0.125 -> 0.13).
double EarnedPoints(const PointsInput& in);

}  // namespace sale
