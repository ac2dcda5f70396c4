#include "core/sale/points.h"

#include <cmath>
#include <cstdint>

#include "core/lookups/numbers.h"

namespace sale {

double EarnedPoints(const PointsInput& in) {
  if (in.total_amount == 0) return 0;
  double points = in.points_base / in.total_amount * in.received;
  if (in.base_value != 0) {
    // Whole multiples of the base earn the points value each; parts of a multiple earn nothing.
    const auto whole = static_cast<std::int64_t>(std::trunc(points));
    points = static_cast<double>(whole / in.base_value) * in.points_value;
  }
  // Rounded here once, so the receipt prints exactly what the commit credits.
  return lookups::RoundTo(points, 2);
}

}  // namespace sale
