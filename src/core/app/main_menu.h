#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/lookups/rights.h"

namespace app {

// A module of the main menu: its function key, the picture's hot spot and the right that
// guards it (empty for the three open modules).
struct MenuModule {
  int key;  // 1..12 for F1..F12
  int left, top, right, bottom;
  std::optional<lookups::Right> needed_right;
  const char* caption;
};

// The picture's native size; hot spots are in these coordinates.
inline constexpr int kMenuPictureWidth = 600;
inline constexpr int kMenuPictureHeight = 440;

inline constexpr std::array<MenuModule, 12> kMenuModules = {{
    {1, 96, 108, 167, 191, lookups::Right::kSales, "销售"},
    {2, 225, 111, 312, 193, lookups::Right::kBaseInfo, "商品信息"},
    {3, 343, 112, 405, 191, lookups::Right::kInventory, "库存"},
    {4, 447, 113, 507, 192, lookups::Right::kMember, "会员"},
    {5, 101, 210, 163, 291, lookups::Right::kInquiry, "查询"},
    {6, 219, 216, 299, 290, lookups::Right::kOperator, "登陆账号"},
    {7, 342, 213, 404, 291, lookups::Right::kDutyRights, "权限"},
    {8, 446, 215, 510, 292, lookups::Right::kSettings, "设定"},
    {9, 105, 323, 166, 393, lookups::Right::kDataClear, "数据清除"},
    {10, 236, 309, 294, 390, std::nullopt, "数据备份"},
    {11, 347, 324, 408, 392, std::nullopt, "软件升级"},
    {12, 453, 324, 498, 392, std::nullopt, "退出"},
}};

// The module whose hot spot contains the point (borders are outside); nullopt elsewhere.
std::optional<MenuModule> HotSpotAt(int x, int y);

// The module of a function key 1..12.
const MenuModule& ModuleForKey(int key);

// True when the account's duty holds the right; an unreadable file, an unknown account, a
// duty without a rights row or a NULL right all give false.
bool HasRight(const std::string& workno, lookups::Right right);

}  // namespace app
