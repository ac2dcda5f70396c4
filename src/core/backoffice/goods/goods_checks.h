#pragma once

// The checks every goods passes before it is stored, the same for the editor and for every
// goods import: texts trimmed and their defaults filled, numbers within what the till holds.

#include <cstdint>

#include "core/backoffice/goods/goods_master.h"

namespace backoffice {

// Who gave the fields: the editor's messages name its captions ("期初库存录入有误"), a file's
// the column titles ("库存有误").
enum class GoodsSource { kEditor, kFile };

// A goods that passed the checks: texts trimmed with their defaults, numbers as they are stored
// (prices to the fen, the opening stock to three decimals).
struct ValidGoods {
  GoodsFields text;
  std::int64_t pluno = 0;
  double iniinventory = 0;
  double salesprice = 0;
  double memberprice = 0;
  double importprice = 0;
  double averageimportprice = 0;
  bool member_price_follows = false;  // the member price was 0 and took the sales price
};

// Checks in the editor's order: the PLU number (a whole number from 0 to 99 999 999), barcode
// (not empty, no control characters), name, unit and class (defaults "个", "未分类"), the scale
// flag ("是" or "否"; a scale goods needs a PLU above 0 and is never combined), then the opening
// stock and the sales, member, import and average import prices: numbers within the till's
// limits and not negative. An empty number is 0; a member price of 0 is the sales price, an
// empty average import price the import price. Throws common::ValidationError naming the field
// ("pluno", "barcode", "goodsname", "isscalegoods", "iscombined", "iniinventory", "salesprice",
// "memberprice", "importprice", "averageimportprice").
ValidGoods ValidateGoods(const GoodsFields& fields, GoodsSource source);

}  // namespace backoffice
