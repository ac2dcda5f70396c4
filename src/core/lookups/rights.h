#pragma once

// The rights a duty may hold, each kept as a 0/1 column of dutyrights. kRights is the one
// table that pairs a right with its column: no other code spells a right's column name.

#include <array>
#include <cstddef>
#include <string_view>

namespace lookups {

enum class Right {
  kSales,
  kOperator,
  kDutyRights,
  kDiscount,
  kSettings,
  kMember,
  kInventory,
  kInquiry,
  kDataClear,
  kBaseInfo,
  kOpenMoneyBox,
  kPointsReturn,
};

struct RightColumn {
  Right right;
  std::string_view column;
};

// In the order of the enum, so a right's position in the table is its index.
inline constexpr std::array<RightColumn, 12> kRights = {{
    {Right::kSales, "sales"},
    {Right::kOperator, "operator"},
    {Right::kDutyRights, "dutyrights"},
    {Right::kDiscount, "discount"},
    {Right::kSettings, "settings"},
    {Right::kMember, "member"},
    {Right::kInventory, "inventory"},
    {Right::kInquiry, "inquiry"},
    {Right::kDataClear, "dataclear"},
    {Right::kBaseInfo, "baseinfo"},
    {Right::kOpenMoneyBox, "openmoneybox"},
    {Right::kPointsReturn, "pointsreturn"},
}};

constexpr std::size_t RightIndex(Right right) { return static_cast<std::size_t>(right); }

constexpr std::string_view RightColumnName(Right right) {
  return kRights[RightIndex(right)].column;
}

constexpr bool RightsInEnumOrder() {
  for (std::size_t i = 0; i < kRights.size(); ++i) {
    if (RightIndex(kRights[i].right) != i) return false;
  }
  return true;
}
static_assert(RightsInEnumOrder(), "kRights must list the rights in the order of the enum");

}  // namespace lookups
